// Authors' model files come from anywhere: every bad one gets one message that names the file, the
// place and the problem; good ones give the frame tree the host will walk.
#include "sim/formats/gltf_reader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
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

GltfModel readAs(const std::string& name, const std::string& bytes, bool withFiles = false) {
    writeFile(folder / name, bytes);
    return readGltfFile((folder / name).string(), withFiles);
}

// One node whose mesh reads its points through `accessors` and `views` from a 24-byte buffer.
std::string geometry(const std::string& views, const std::string& accessors,
                     const std::string& more = "") {
    return gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"body","mesh":0}],)"
                R"("meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],)"
                R"("buffers":[{"byteLength":24,"uri":"data:application/octet-stream;base64,)" +
                std::string(32, 'A') + R"("}],"bufferViews":[)" + views + R"(],"accessors":[)" +
                accessors + "]" + more);
}

const std::string sixFloats = R"({"buffer":0,"byteLength":24})";

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
        bool toShow = false;   // a fault only for the page, which shows the geometry
    } cases[] = {
        {"not glTF at all", "a.gltf", "\x89PNG\r\n\x1a\n", "not a glTF file"},
        {"empty", "a.gltf", "", "not a glTF file"},
        {"truncated .glb", "a.glb", glb(jsonChunk(oneNode), 2, 4000),
         "header: the header gives the length 4000 bytes"},
        {"JSON chunk not JSON", "a.glb", glb(jsonChunk("{\"asset\" 12}")),
         "JSON chunk: malformed JSON: syntax error while parsing object separator - unexpected "
         "number literal; expected ':' (JSON chunk line 1, column 11)"},
        {"deep JSON", "a.gltf",
         gltf(R"("extras":)" + std::string(300, '[') + std::string(300, ']')),
         "a.gltf: extras[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]...: nested deeper "
         "than 256 levels (JSON line 1, column 292)"},
        {"bad UTF-8", "a.gltf", gltf(R"("nodes":[{"name":")" + std::string("\xff") + R"("}])"),
         "JSON: malformed JSON: invalid string: ill-formed UTF-8 byte 0xFF (JSON line 1, "
         "column 46)"},
        {"no asset", "a.gltf", R"({"nodes":[]})", "asset: missing"},
        {"name not a string", "a.gltf", gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":7}])"),
         "nodes[0].name: expected a string, got 7 (JSON line 1, column 70)"},
        {"glTF 1.0", "a.gltf",
         R"({"asset":{"version":"1.0"},"scenes":[{"nodes":[0]}],"nodes":[{}]})",
         "asset.version: glTF version \"1.0\""},
        {"missing .bin", "a.gltf", gltf(bufferOf + R"("missing.bin"}])"),
         "buffers[0].uri: \"missing.bin\" is missing: the model's folder "},
        {".bin outside the folder", "a.gltf", gltf(bufferOf + R"("../outside.bin"}])"),
         "refers to \"../outside.bin\", which lies outside the model's folder"},
        {"absolute .bin", "a.gltf",
         gltf(bufferOf + "\"" + (folder / "four.bin").generic_string() + "\"}]"),
         "an absolute path"},
        {".bin of another size", "a.gltf",
         gltf(
             R"("scenes":[{"nodes":[0]}],"nodes":[{}],"buffers":[{"byteLength":8,"uri":"four.bin"}])"),
         "buffers[0]: \"four.bin\" has 4 bytes, fewer than the byteLength 8"},
        {"buffer of a .gltf without uri", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{}],"buffers":[{"byteLength":4}])"),
         "buffers[0].uri: missing"},
        {"BIN chunk shorter than its buffer", "a.glb",
         glb(jsonChunk(
                 gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{}],"buffers":[{"byteLength":8}])")) +
             chunk(std::string("BIN\0", 4), "abcd", 4)),
         "buffers[0]: the BIN chunk has 4 bytes, fewer than the byteLength 8"},
        {"second buffer of a .glb without uri", "a.glb",
         glb(jsonChunk(gltf(
                 R"("scenes":[{"nodes":[0]}],"nodes":[{}],"buffers":[{"byteLength":4},{"byteLength":4}])")) +
             chunk(std::string("BIN\0", 4), "abcd", 4)),
         "buffers[1].uri: missing: only the first buffer of a .glb is its BIN chunk"},
        {"data: URI shorter than its buffer", "a.gltf",
         gltf(bufferOf + R"("data:application/octet-stream;base64,AAAA"}])"),
         "buffers[0]: \"data:application/octet-stream;base64,AAAA\" has 3 bytes, fewer than the "
         "byteLength 4"},
        {"data: URI not base64", "a.gltf",
         gltf(bufferOf + R"("data:application/octet-stream;base64,YW*jZA=="}])"),
         "buffers[0].uri: the data: URI \"data:application/octet-stream;base64,YW*jZA==\" is not "
         "valid base64"},
        {"data: URI of another type", "a.gltf",
         gltf(bufferOf + R"("data:application/zip;base64,YWJjZA=="}])"),
         "the data: URI \"data:application/zip;base64,YWJjZA==\" cannot be read"},
        {"image view past its buffer", "a.gltf",
         gltf(bufferOf + R"("data:application/octet-stream;base64,YWJjZA=="}],)"
                         R"("bufferViews":[{"buffer":0,"byteOffset":2,"byteLength":4}],)"
                         R"("images":[{"bufferView":0,"mimeType":"image/png"}])"),
         "bufferViews[0]: 4 bytes from byte 2 run past the end of buffers[0] (4 bytes)"},
        {"missing image", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{}],"images":[{"uri":"absent.png"}])"),
         "images[0].uri: \"absent.png\" is missing"},
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
        {"matrix short of a number", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0]}])"),
         "nodes[0].matrix: expected an array of 16 numbers, got 15 items"},
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
        {"child index not an integer", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"children":[1.5]},{}])"),
         "nodes[0].children[0]: expected an integer, got 1.5"},
        {"accessor past its view", "a.gltf",
         geometry(R"({"buffer":0,"byteLength":20})",
                  R"({"bufferView":0,"componentType":5126,"count":2,"type":"VEC3"})"),
         "accessors[0]: 2 items of 12 bytes, every 12 bytes from byte 0, end at byte 24, past the "
         "end of bufferViews[0] (20 bytes)",
         true},
        {"strided accessor past its view", "a.gltf",
         geometry(
             R"({"buffer":0,"byteLength":21,"byteStride":12})",
             R"({"bufferView":0,"byteOffset":4,"componentType":5123,"count":2,"type":"VEC3"})"),
         "accessors[0]: 2 items of 6 bytes, every 12 bytes from byte 4, end at byte 22", true},
        {"view past its buffer", "a.gltf",
         geometry(R"({"buffer":0,"byteOffset":8,"byteLength":24})",
                  R"({"bufferView":0,"componentType":5126,"count":1,"type":"VEC3"})"),
         "bufferViews[0]: 24 bytes from byte 8 run past the end of buffers[0] (24 bytes)", true},
        {"compressed data past its buffer", "a.gltf",
         geometry(R"({"buffer":0,"byteLength":24,"extensions":{"EXT_meshopt_compression":)"
                  R"({"buffer":0,"byteOffset":20,"byteLength":8}}})",
                  R"({"bufferView":0,"componentType":5126,"count":2,"type":"VEC3"})"),
         "bufferViews[0].extensions.EXT_meshopt_compression: 8 bytes from byte 20 run past", true},
        {"accessor out of range", "a.gltf", geometry(sixFloats, ""),
         "meshes[0].primitives[0].attributes.POSITION: accessor 0 is out of range (the file has "
         "0 accessors)",
         true},
        {"unknown extension required", "a.gltf",
         geometry(sixFloats, R"({"componentType":5126,"count":2,"type":"VEC3"})",
                  R"(,"extensionsRequired":["KHR_mesh_quantization","EXT_sketchy"])"),
         "extensionsRequired[1]: the preview cannot show a model that requires \"EXT_sketchy\"",
         true},
        {"KTX2 textures required", "a.gltf",
         geometry(sixFloats, R"({"componentType":5126,"count":2,"type":"VEC3"})",
                  R"(,"extensionsRequired":["KHR_texture_basisu"])"),
         "extensionsRequired[0]: the preview cannot show \"KHR_texture_basisu\" textures", true},
        {"control character", "a.gltf",
         gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"vx_fbrake\u0000_az30"}])"),
         "nodes[0].name: frame names must not hold control characters: byte 0x00 at position 9"},
    };
    for (const auto& c : cases) {
        const std::string path = (folder / c.file).string();
        // The node tree does not depend on the geometry: the checker reads the model all the same.
        if (c.toShow) {
            EXPECT_NO_THROW(framesOf(readAs(c.file, c.bytes), path, "a")) << c.kind;
        }
        try {
            const GltfModel model = readAs(c.file, c.bytes, c.toShow);
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

TEST(GltfReader, ShowsCompressedAndTightlyFittedGeometry) {
    // Draco's accessors have no view; meshopt's fallback buffer has no data, in a .gltf or as the
    // second buffer of a .glb; the last strided item ends at the view's last byte.
    const std::string draco =
        geometry(R"({"buffer":0,"byteLength":22,"byteStride":12})",
                 R"({"componentType":5126,"count":500,"type":"VEC3"},)"
                 R"({"bufferView":0,"byteOffset":4,"componentType":5123,"count":2,"type":"VEC3"})",
                 R"(,"extensionsRequired":["KHR_draco_mesh_compression"])");
    const std::string compressed =
        std::string(draco).replace(draco.find(R"("attributes")"), 0,
                                   R"("extensions":{"KHR_draco_mesh_compression":)"
                                   R"({"bufferView":0,"attributes":{"POSITION":0}}},)");
    const std::string meshopt = gltf(
        R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"body"}],"extensionsRequired":)"
        R"(["EXT_meshopt_compression"],"buffers":[{"byteLength":4},{"byteLength":96,)"
        R"("extensions":{"EXT_meshopt_compression":{"fallback":true}}}],"bufferViews":[)"
        R"({"buffer":1,"byteLength":96,"byteStride":12,"extensions":{"EXT_meshopt_compression":)"
        R"({"buffer":0,"byteLength":4,"byteStride":12,"count":8,"mode":"ATTRIBUTES"}}}],)"
        R"("accessors":[{"bufferView":0,"componentType":5126,"count":8,"type":"VEC3"}])");
    const std::string bin = chunk(std::string("BIN\0", 4), "abcd", 4);
    const struct {
        const char* file;
        std::string bytes;
    } models[] = {
        {"draco.gltf", compressed},
        {"meshopt.glb", glb(jsonChunk(meshopt) + bin)},
        {"meshopt.gltf",
         std::string(meshopt).replace(
             meshopt.find(R"({"byteLength":4})"), 16,
             R"({"byteLength":4,"uri":"data:application/octet-stream;base64,YWJjZA=="})")},
    };
    for (const auto& m : models) {
        for (const bool toShow : {false, true}) {
            EXPECT_NO_THROW(framesOf(readAs(m.file, m.bytes, toShow), m.file, "m"))
                << m.file << (toShow ? " for the page" : "");
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

TEST(GltfReader, ReadsEachNodesScaleFromItsMatrixOrItsScale) {
    // A matrix turned a quarter about Z and stretched along its own X; a scale mirrored on one
    // axis; a matrix mirrored on two axes, which mirror nothing together.
    const GltfModel model =
        readAs("scaled.gltf",
               gltf(R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"none","children":[1,2,3]},)"
                    R"({"name":"m","matrix":[0,2,0,0,-1,0,0,0,0,0,1,0,5,6,7,1]},)"
                    R"({"name":"s","scale":[1,-0.5,2],"rotation":[0,0,0.7071068,0.7071068]},)"
                    R"({"name":"two","matrix":[-1,0,0,0,0,-1,0,0,0,0,1,0,0,0,0,1]}])"));
    const struct {
        std::array<double, 3> axes;
        bool mirrored;
    } expected[] = {
        {{1, 1, 1}, false}, {{2, 1, 1}, false}, {{1, 0.5, 2}, true}, {{1, 1, 1}, false}};
    ASSERT_EQ(model.nodes.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(model.nodes[i].scale.axes, expected[i].axes) << model.nodes[i].name;
        EXPECT_EQ(model.nodes[i].scale.mirrored, expected[i].mirrored) << model.nodes[i].name;
    }
    EXPECT_FALSE(isUniform(model.nodes[1].scale));
    EXPECT_TRUE(isUniform(model.nodes[3].scale));
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

TEST(GltfReader, CarriesTheAuthorsOwnFilesWhenAsked) {
    // Each file once, by the uri as written, in the order first referred to; data: URIs stay in
    // the JSON.
    const std::string bin("\0\0\x80\x3f", 4);
    writeFile(folder / "parts.bin", bin);
    writeFile(folder / "my part.bin", "abcd");
    writeFile(folder / "paint.png", "\x89PNG\r\n\x1a\n-pixels-");
    const std::string json = gltf(
        R"("scenes":[{"nodes":[0]}],"nodes":[{"name":"bike"}],)"
        R"("buffers":[{"byteLength":4,"uri":"parts.bin"},{"byteLength":4,"uri":"my%20part.bin"},)"
        R"({"byteLength":4,"uri":"./parts.bin"}],)"
        R"("images":[{"uri":"paint.png"},{"uri":"data:image/png;base64,iVBORw=="},{"uri":"paint.png"}])");
    const ModelFiles files = readAs("split.gltf", json, true).files;
    EXPECT_FALSE(files.binary);
    EXPECT_EQ(files.main, json);
    using Resources = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(files.resources, (Resources{{"parts.bin", bin},
                                          {"my%20part.bin", "abcd"},
                                          {"./parts.bin", bin},
                                          {"paint.png", "\x89PNG\r\n\x1a\n-pixels-"}}));
    EXPECT_TRUE(readAs("split.gltf", json, false).files.resources.empty());

    const std::string packed = glb(jsonChunk(oneNode));
    const ModelFiles glbFiles = readAs("packed.glb", packed, true).files;
    EXPECT_TRUE(glbFiles.binary);
    EXPECT_EQ(glbFiles.main, packed);
}

}  // namespace
}  // namespace sim
