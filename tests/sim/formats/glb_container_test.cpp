// The container's offsets come from the file: every chunk must lie inside it, four-byte aligned.
#include "sim/formats/glb_container.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/formats/model_error.h"

namespace sim {
namespace {

using ::testing::HasSubstr;

std::string word(std::uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string chunk(const std::string& type, const std::string& data) {
    return word(static_cast<std::uint32_t>(data.size())) + type + data;
}

// A .glb with its header fields given; length 0 means the true length.
std::string glb(const std::string& chunks, std::uint32_t version = 2, std::uint32_t length = 0) {
    return "glTF" + word(version) +
           word(length != 0 ? length : static_cast<std::uint32_t>(12 + chunks.size())) + chunks;
}

const std::string bin(4, '\0');
const std::string binType("BIN\0", 4);

TEST(GlbContainer, FindsTheJsonAndBinChunksOfTheSampleModel) {
    std::ifstream in(VORLIX_SAMPLE_MODEL, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const GlbChunks chunks = readGlbChunks(bytes, "motorbike.glb");
    const auto offset = [&](std::string_view part) {
        return static_cast<std::size_t>(part.data() - bytes.data());
    };
    EXPECT_EQ(offset(chunks.json), 20u);
    EXPECT_EQ(chunks.json.front(), '{');
    EXPECT_EQ(chunks.json.size() % 4, 0u);
    EXPECT_EQ(offset(chunks.bin), 20 + chunks.json.size() + 8);
    EXPECT_EQ(offset(chunks.bin) + chunks.bin.size(), bytes.size());
}

TEST(GlbContainer, KeepsPaddingAndSkipsChunksOfOtherTypes) {
    const std::string json = R"({"a":1}     )";
    const std::string bytes =
        glb(chunk("JSON", json) + chunk("XTRA", "abcd") + chunk(binType, bin));
    const GlbChunks chunks = readGlbChunks(bytes, "a.glb");
    EXPECT_EQ(chunks.json, json);
    EXPECT_TRUE(chunks.bin.empty()) << "a BIN chunk is the second chunk or none";
    EXPECT_EQ(readGlbChunks(glb(chunk("JSON", json)), "a.glb").bin.size(), 0u);
}

TEST(GlbContainer, RefusesDamagedContainersNamingTheHeaderOrChunk) {
    const std::string json = chunk("JSON", "{}  ");
    const struct {
        const char* kind;
        std::string bytes;
        std::string expected;  // after "a.glb: "
    } cases[] = {
        {"short header", "glTF\x02", "header: truncated: a .glb starts with a 12-byte header"},
        {"wrong magic", "glTx" + std::string(16, '\0'), "header: wrong magic \"glTx\""},
        {"version 1", glb(json, 1), "header: glTF version 1 (only version 2 is read)"},
        {"length past the end", glb(json, 2, 4000),
         "header: the header gives the length 4000 bytes, the file has 24 (truncated)"},
        {"length short of the end", glb(json, 2, 20),
         "header: the header gives the length 20 bytes, the file has 24"},
        {"no JSON chunk", glb(""), "chunks[0]: missing"},
        {"truncated chunk header", glb(json + "abcd"),
         "chunks[1]: truncated chunk header at byte 24"},
        {"chunk past the end", glb(word(4000) + "JSON{}  "),
         "chunks[0]: chunk length 4000 at byte 12 runs past the end of the file (24 bytes)"},
        {"misaligned chunk", glb(chunk("JSON", "{} ") + " "),
         "chunks[0]: chunk length 3 at byte 12 is not a multiple of 4"},
        {"BIN first", glb(chunk(binType, bin)),
         "chunks[0]: the first chunk has the type 0x004E4942"},
    };
    for (const auto& c : cases) {
        try {
            readGlbChunks(c.bytes, "a.glb");
            ADD_FAILURE() << c.kind << ": accepted";
        } catch (const ModelError& error) {
            EXPECT_THAT(error.what(), HasSubstr("a.glb: " + c.expected)) << c.kind;
        }
    }
}

}  // namespace
}  // namespace sim
