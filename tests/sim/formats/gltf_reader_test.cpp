// Authors' model files come from anywhere: every bad one gets one message that names the file, the
// place and the problem; good ones give the frame tree the host will walk.
#include "sim/formats/gltf_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/formats/model_frames.h"

namespace sim {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

std::string gltf(const std::string& members) {
    return R"({"asset":{"version":"2.0"},)" + members + "}";
}

const std::string oneNode = gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"bike"}])");

void word(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

std::string chunk(const std::string& type, const std::string& data, std::uint32_t length) {
    std::string out;
    word(out, length);
    return out + type + data;
}

// A .glb with its header fields given; length 0 means the true length.
std::string glb(const std::string& chunks, std::uint32_t version = 2, std::uint32_t length = 0) {
    std::string out = "glTF";
    word(out, version);
    word(out, length != 0 ? length : static_cast<std::uint32_t>(12 + chunks.size()));
    return out + chunks;
}

std::string jsonChunk(const std::string& json) {
    std::string padded = json;
    padded.append((4 - padded.size() % 4) % 4, ' ');
    return chunk("JSON", padded, static_cast<std::uint32_t>(padded.size()));
}

std::string chainOf(int count) {
    std::string nodes;
    for (int i = 0; i < count; ++i) {
        nodes += std::string(i ? "," : "") + "{\"name\":\"n" + std::to_string(i) + "\"" +
                 (i + 1 < count ? ",\"children\":[" + std::to_string(i + 1) + "]" : "") + "}";
    }
    return gltf(R"("scenes":[{"nodes":[0]}],"nodes":[)" + nodes + "]");
}

const fs::path folder = fs::absolute("gltf_test_files") / "model";

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

GltfModel readAs(const std::string& name, const std::string& bytes, bool withGlb = false) {
    writeFile(folder / name, bytes);
    return readGltfFile((folder / name).string(), withGlb);
}

TEST(GltfReader, RefusesBadFilesWithOneMessageNamingFileAndPlace) {
    writeFile(folder.parent_path() / "outside.bin", "abcd");
    writeFile(folder / "four.bin", "abcd");
    const std::string bufferOf =
        R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"a"}],"buffers":[{"byteLength":4,"uri":)";
    const struct {
        const char* kind;
        std::string file;
        std::string bytes;
        std::string expected;  // after "<file>: "
    } cases[] = {
        {"not glTF at all", "a.gltf", "\x89PNG\r\n\x1a\n", "not a glTF file"},
        {"empty", "a.gltf", "", "not a glTF file"},
        {"wrong magic", "a.glb", "glTx" + std::string(16, '\0'), "header: wrong magic \"glTx\""},
        {"truncated header", "a.glb", "glTF\x02",
         "header: truncated: a .glb starts with a 12-byte header"},
        {"version 1", "a.glb", glb(jsonChunk(oneNode), 1),
         "header: glTF version 1 (only version 2 is read)"},
        {"truncated file", "a.glb", glb(jsonChunk(oneNode), 2, 4000),
         "header: the header gives the length 4000 bytes"},
        {"chunk past the end", "a.glb", glb(chunk("JSON", "{}  ", 4000)),
         "chunks[0]: chunk length 4000 at byte 12 runs past the end"},
        {"no JSON chunk", "a.glb", glb(""), "chunks[0]: missing"},
        {"BIN first", "a.glb", glb(chunk(std::string("BIN\0", 4), "abcd", 4)),
         "chunks[0]: the first chunk has the type 0x004E4942"},
        {"JSON chunk not JSON", "a.glb", glb(jsonChunk("{\"asset\" 12}")),
         "JSON chunk: not valid JSON at line 1, column 10"},
        {"deep JSON", "a.gltf",
         gltf(R"("extras":)" + std::string(100, '[') + std::string(100, ']')),
         "JSON: nested deeper than 64 levels"},
        {"bad UTF-8", "a.gltf", gltf(R"("nodes":[{"name":"\xff"}])"),
         "JSON: not valid JSON at line 1"},
        {"no asset", "a.gltf", R"({"nodes":[]})", "\"asset\" object not found"},
        {"glTF 1.0", "a.gltf",
         R"({"asset":{"version":"1.0"},"scenes":[{"nodes":[0]}],"nodes":[{}]})",
         "asset.version: glTF version \"1.0\""},
        {"missing .bin", "a.gltf", gltf(bufferOf + R"("missing.bin"}])"),
         "refers to \"missing.bin\", which is not in the model's folder"},
        {".bin outside the folder", "a.gltf", gltf(bufferOf + R"("../outside.bin"}])"),
         "refers to \"../outside.bin\", which lies outside the model's folder"},
        {"absolute .bin", "a.gltf",
         gltf(bufferOf + "\"" + (folder / "four.bin").generic_string() + "\"}]"),
         "an absolute path"},
        {".bin of another size", "a.gltf",
         gltf(
             R"("scenes":[{"nodes":[0]}],"nodes":[{}],"buffers":[{"byteLength":8,"uri":"four.bin"}])"),
         "File size mismatch"},
        {"data: URI of another size", "a.gltf",
         gltf(bufferOf + R"("data:application/octet-stream;base64,AAAAAAAAAAAA"}])"),
         "Failed to decode 'uri'"},
        {"data: URI of another type", "a.gltf",
         gltf(bufferOf + R"("data:application/zip;base64,YWJjZA=="}])"),
         "the data: URI \"data:application/zip;base64,YWJjZA==\" cannot be read"},
        {"image view past its buffer", "a.gltf",
         gltf(bufferOf + R"("data:application/octet-stream;base64,YWJjZA=="}],)"
                         R"("bufferViews":[{"buffer":0,"byteOffset":2,"byteLength":4}],)"
                         R"("images":[{"bufferView":0,"mimeType":"image/png"}])"),
         "images[0]: bufferViews[0] (4 bytes from byte 2) runs past the end of buffers[0] (4 "
         "bytes)"},
        {"missing image", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{}],"images":[{"uri":"absent.png"}])"),
         "refers to \"absent.png\""},
        {"no scene", "a.gltf", gltf(R"("nodes":[{}])"), "scenes: the file has no scene to show"},
        {"default scene out of range", "a.gltf",
         gltf(R"("scene":2,"scenes":[{"nodes":[0]}],"nodes":[{}])"),
         "scene: scene 2 is out of range (the file has 1 scene)"},
        {"empty scene", "a.gltf", gltf(R"("scenes":[{"nodes":[]}],"nodes":[{}])"),
         "scenes[0]: the scene has no nodes"},
        {"root out of range", "a.gltf", gltf(R"("scenes":[{"nodes":[3]}],"nodes":[{}])"),
         "scenes[0].nodes[0]: node 3 is out of range (the file has 1 nodes)"},
        {"root with a parent", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0,1]}],"nodes":[{"children":[1]},{}])"),
         "scenes[0].nodes[1]: node 1 is a child of nodes[0], not a root node"},
        {"mesh out of range", "a.gltf", gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}])"),
         "nodes[0].mesh: mesh 0 is out of range (the file has 0 meshes)"},
        {"child out of range", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"children":[1]},{"children":[7]}])"),
         "nodes[1].children[0]: node 7 is out of range (the file has 2 nodes)"},
        {"own child", "a.gltf", gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"children":[0]}])"),
         "nodes[0].children[0]: node 0 is its own child"},
        {"own ancestor", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{},{"children":[2]},{"children":[1]}])"),
         "nodes[2].children[0]: node 1 is its own ancestor (nodes[1] > nodes[2] > nodes[1])"},
        {"two parents", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"children":[1,2]},{"children":[2]},{}])"),
         "nodes[1].children[0]: node 2 is already a child of nodes[0]"},
        {"too deep", "a.gltf", chainOf(maxModelDepth + 1),
         "nodes[1000]: the hierarchy is deeper than 1000 levels"},
        {"control character", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"vx_fbrake\u0000_az30"}])"),
         "nodes[0].name: frame names must not hold control characters: byte 0x00 at position 9"},
    };
    for (const auto& c : cases) {
        const std::string path = (folder / c.file).string();
        try {
            const GltfModel model = readAs(c.file, c.bytes);
            framesOf(model, path, "a");
            ADD_FAILURE() << c.kind << ": accepted";
        } catch (const ModelError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << c.kind << ": " << message;
            EXPECT_THAT(message, HasSubstr(c.expected)) << c.kind;
            EXPECT_EQ(message.find('\n'), std::string::npos) << c.kind << ": " << message;
        }
    }
}

TEST(GltfReader, GivesTheSceneAsFramesWithNamesAsWritten) {
    // Node 0 is not in the scene; two roots get a root frame named after the file.
    const std::string json = gltf(
        R"("scene":1,"scenes":[{"nodes":[0]},{"nodes":[3,1]}],"meshes":[{"primitives":[]}],"nodes":[)"
        R"({"name":"unused"},{"name":"bars","children":[2]},)"
        R"({"name":"vx_fbrake_az-30 \"quoted\" \u00e9t\u00e9 <script>x</script>","mesh":0},)"
        R"({"name":"body","mesh":0}])");
    const ModelFrames frames = framesOf(readAs("two.gltf", json), "two.gltf", "two");
    EXPECT_EQ(frames.frameNodes, (std::vector<int>{-1, 3, 1, 2}));
    EXPECT_EQ(frames.root.name, "two");
    EXPECT_EQ(frames.root.objects, 0);
    ASSERT_EQ(frames.root.children.size(), 2u);
    EXPECT_EQ(frames.root.children[0].name, "body");
    EXPECT_EQ(frames.root.children[0].objects, 1);
    EXPECT_EQ(frames.root.children[1].objects, 0);
    EXPECT_EQ(frames.root.children[1].children.at(0).name,
              "vx_fbrake_az-30 \"quoted\" \xc3\xa9t\xc3\xa9 <script>x</script>");
}

TEST(GltfReader, ReadsAHundredThousandNodesAndTheDeepestHierarchyAllowed) {
    std::string nodes = R"({"name":"root","children":[)";
    for (int i = 1; i <= 100000; ++i) nodes += (i > 1 ? "," : "") + std::to_string(i);
    nodes += "]}";
    for (int i = 1; i <= 100000; ++i) nodes += R"(,{"name":"n)" + std::to_string(i) + "\"}";
    const ModelFrames wide =
        framesOf(readAs("wide.gltf", gltf(R"("scenes":[{"nodes":[0]}],"nodes":[)" + nodes + "]")),
                 "wide.gltf", "wide");
    EXPECT_EQ(wide.frameNodes.size(), 100001u);
    EXPECT_EQ(wide.root.children.back().name, "n100000");

    const ModelFrames deep =
        framesOf(readAs("deep.gltf", chainOf(maxModelDepth)), "deep.gltf", "deep");
    EXPECT_EQ(deep.frameNodes.size(), static_cast<std::size_t>(maxModelDepth));
}

TEST(GltfReader, WritesTheModelAsOneSelfContainedGlb) {
    // A .gltf whose buffer and image are files beside it; the .glb must need neither. Objects with
    // every field at its default (an unnamed leaf, a scene without nodes, a texture without a
    // source) must stay objects.
    writeFile(folder / "parts.bin", std::string("\0\0\x80\x3f", 4));
    writeFile(folder / "paint.png", "\x89PNG\r\n\x1a\n-pixels-");
    const std::string json = gltf(
        R"("scenes":[{"nodes":[0]},{}],"textures":[{}],)"
        R"("nodes":[{"name":"bike","children":[1,2]},{"name":"vx_cl_az20"},{}],)"
        R"("buffers":[{"byteLength":4,"uri":"parts.bin"}],"bufferViews":[{"buffer":0,"byteLength":4}],)"
        R"("images":[{"uri":"paint.png"}])");
    const GltfModel model = readAs("split.gltf", json, true);
    ASSERT_EQ(model.glb.substr(0, 4), "glTF");

    const GltfModel again = parseGltf(model.glb, "embedded.glb", {}, true);
    ASSERT_EQ(again.nodes.size(), 3u);
    EXPECT_EQ(again.nodes[1].name, "vx_cl_az20");
    EXPECT_EQ(again.nodes[0].children, (std::vector<int>{1, 2}));
    EXPECT_THAT(model.glb, HasSubstr("data:image/png;base64,iVBORw0KGgotcGl4ZWxzLQ=="));
    EXPECT_THAT(model.glb, HasSubstr(std::string("BIN\0\0\0\x80\x3f", 8)));
}

}  // namespace
}  // namespace sim
