#include "sim/formats/gltf_reader.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "sim/formats/glb_container.h"
#include "sim/formats/json_reader.h"
#include "sim/formats/json_values.h"
#include "sim/formats/model_geometry.h"
#include "sim/formats/user_files.h"
#include "sim/formats/utf8_path.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t maxIndex = std::numeric_limits<std::int32_t>::max();

bool hasExtension(const std::string& fileName, const char* extension) {
    std::string tail = utf8Path(fileName).extension().string();
    std::transform(tail.begin(), tail.end(), tail.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return tail == extension;
}

std::string countOf(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

const std::vector<JsonNode>& arrayOf(const ObjectReader& object, const char* key) {
    static const std::vector<JsonNode> none;
    const JsonNode* node = object.optional(key);
    return node == nullptr ? none : readArray(*node, object.path(key));
}

std::vector<int> indexesOf(const ObjectReader& object, const char* key) {
    const std::vector<JsonNode>& items = arrayOf(object, key);
    std::vector<int> indexes;
    indexes.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        indexes.push_back(static_cast<int>(
            readInteger(items[i], itemPath(object.path(key), i), -maxIndex - 1, maxIndex)));
    }
    return indexes;
}

// A buffer that meshopt compression gives for readers without its decoder: it may have no data.
bool isFallback(const ObjectReader& buffer) {
    const JsonNode* extensions = buffer.optional("extensions");
    if (extensions == nullptr) return false;
    const ObjectReader named(*extensions, buffer.path("extensions"));
    for (const char* name : {"EXT_meshopt_compression", "KHR_meshopt_compression"}) {
        const JsonNode* compression = named.optional(name);
        if (compression == nullptr) continue;
        const ObjectReader fields(*compression, named.path(name));
        const JsonNode* fallback = fields.optional("fallback");
        if (fallback != nullptr && readBool(*fallback, fields.path("fallback"))) return true;
    }
    return false;
}

// The glTF document once read: its node tree, and a check of everything its buffers and images
// refer to; for a model to be shown, of its geometry too. bin: the BIN chunk of a .glb, or nothing
// for glTF JSON text.
class ModelReader {
  public:
    ModelReader(const std::string& fileName, const std::string_view* bin, ModelResources& resources)
        : fileName_(fileName), bin_(bin), resources_(resources) {}

    GltfModel read(const JsonNode& document, bool toShow) {
        const ObjectReader top(document, "");
        checkVersion(top);
        GltfModel model;
        readNodes(top, model);
        readScene(top, model);
        const std::vector<std::size_t> bufferLengths = readBuffers(top);
        const BufferViews views(top, bufferLengths);
        readImages(top, views);
        if (toShow) {
            views.checkAll();
            checkShownGeometry(top, views);
        }
        return model;
    }

  private:
    [[noreturn]] void fail(const std::string& place, const std::string& what) const {
        throw ModelError(fileName_ + ": " + place + ": " + what);
    }

    void checkVersion(const ObjectReader& top) const {
        const JsonNode* asset = top.optional("asset");
        if (asset == nullptr) fail("asset", "missing: a glTF file gives its version there");
        const ObjectReader fields(*asset, "asset");
        const std::string& version = readString(fields.required("version"), "asset.version");
        if (version.rfind("2.", 0) != 0)
            fail("asset.version",
                 "glTF version \"" + shownInMessage(version) + "\" (only 2.x is read)");
    }

    void readNodes(const ObjectReader& top, GltfModel& model) const {
        const std::size_t meshCount = arrayOf(top, "meshes").size();
        const std::vector<JsonNode>& nodes = arrayOf(top, "nodes");
        model.nodes.reserve(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const ObjectReader node(nodes[i], itemPath("nodes", i));
            ModelNode out;
            if (const JsonNode* name = node.optional("name"))
                out.name = readString(*name, node.path("name"));
            out.children = indexesOf(node, "children");
            if (const JsonNode* mesh = node.optional("mesh")) {
                const std::int64_t index = readInteger(*mesh, node.path("mesh"), 0, maxIndex);
                if (static_cast<std::size_t>(index) >= meshCount) {
                    fail(node.path("mesh"), "mesh " + std::to_string(index) +
                                                " is out of range (the file has " +
                                                countOf(meshCount, "mesh", "meshes") + ")");
                }
                out.hasMesh = true;
            }
            if (const JsonNode* matrix = node.optional("matrix")) {
                out.scale = scaleOfMatrix(readFloats<16>(*matrix, node.path("matrix")));
            } else if (const JsonNode* scale = node.optional("scale")) {
                out.scale = scaleOfTrs(readFloats<3>(*scale, node.path("scale")));
            }
            model.nodes.push_back(std::move(out));
        }
    }

    void readScene(const ObjectReader& top, GltfModel& model) const {
        const std::vector<JsonNode>& scenes = arrayOf(top, "scenes");
        if (scenes.empty()) fail("scenes", "the file has no scene to show");
        if (const JsonNode* scene = top.optional("scene")) {
            const std::int64_t index = readInteger(*scene, "scene", 0, maxIndex);
            if (static_cast<std::size_t>(index) >= scenes.size()) {
                fail("scene", "scene " + std::to_string(index) + " is out of range (the file has " +
                                  countOf(scenes.size(), "scene", "scenes") + ")");
            }
            model.scene = static_cast<int>(index);
        }
        const auto shown = static_cast<std::size_t>(model.scene);
        model.roots = indexesOf(ObjectReader(scenes[shown], itemPath("scenes", shown)), "nodes");
    }

    // Each buffer's byteLength, once its data is known to hold that many bytes.
    std::vector<std::size_t> readBuffers(const ObjectReader& top) const {
        const std::vector<JsonNode>& buffers = arrayOf(top, "buffers");
        std::vector<std::size_t> lengths;
        for (std::size_t i = 0; i < buffers.size(); ++i) {
            const ObjectReader buffer(buffers[i], itemPath("buffers", i));
            const auto length = static_cast<std::size_t>(readInteger(
                buffer.required("byteLength"), buffer.path("byteLength"), 1, maxModelBytes));
            std::size_t size = 0;
            std::string what;
            if (const JsonNode* uri = buffer.optional("uri")) {
                const std::string& text = readString(*uri, buffer.path("uri"));
                size = resources_.sizeOf(text, buffer.path("uri"));
                what = "\"" + shownInMessage(text) + "\"";
            } else if (isFallback(buffer)) {
                lengths.push_back(length);
                continue;
            } else if (bin_ != nullptr && i == 0) {
                if (bin_->empty())
                    fail(buffer.path("uri"), "missing, and the .glb has no BIN chunk");
                size = bin_->size();
                what = "the BIN chunk";
            } else {
                fail(buffer.path("uri"), bin_ != nullptr
                                             ? "missing: only the first buffer of a .glb is its "
                                               "BIN chunk"
                                             : "missing: a buffer of a .gltf names its data");
            }
            if (size < length) {
                fail(itemPath("buffers", i), what + " has " + std::to_string(size) +
                                                 " bytes, fewer than the byteLength " +
                                                 std::to_string(length));
            }
            lengths.push_back(length);
        }
        return lengths;
    }

    void readImages(const ObjectReader& top, const BufferViews& views) const {
        const std::vector<JsonNode>& images = arrayOf(top, "images");
        for (std::size_t i = 0; i < images.size(); ++i) {
            const ObjectReader image(images[i], itemPath("images", i));
            if (const JsonNode* uri = image.optional("uri"))
                resources_.sizeOf(readString(*uri, image.path("uri")), image.path("uri"));
            if (const JsonNode* view = image.optional("bufferView"))
                views.at(*view, image.path("bufferView"));
        }
    }

    const std::string& fileName_;
    const std::string_view* bin_;
    ModelResources& resources_;
};

// A problem in the JSON, with its place in the document and in the text. The place of a value
// nested too deep is cut short: its line and column say where it is.
ModelError jsonProblem(const std::string& fileName, const char* where, const JsonError& error) {
    constexpr std::size_t longPath = 60;
    const std::string place = error.path.empty() ? std::string(where)
                              : error.path.size() <= longPath
                                  ? error.path
                                  : error.path.substr(0, longPath) + "...";
    return ModelError(fileName + ": " + place + ": " + error.what() + " (" + where + " line " +
                      std::to_string(error.pos.line) + ", column " +
                      std::to_string(error.pos.column) + ")");
}

GltfModel readModel(std::string_view bytes, const std::string& fileName, const fs::path& folder,
                    bool withFiles) {
    ModelResources resources(fileName, folder, bytes.size(), withFiles);
    const bool binary = looksLikeGlb(bytes) || hasExtension(fileName, ".glb");
    std::string_view json = bytes;
    std::string_view bin;
    if (binary) {
        const GlbChunks chunks = readGlbChunks(bytes, fileName);
        json = chunks.json;
        bin = chunks.bin;
    } else {
        const std::size_t first = bytes.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos || bytes[first] != '{') {
            throw ModelError(fileName +
                             ": not a glTF file: neither a .glb (which begins with \"glTF\") "
                             "nor glTF JSON text (which begins with \"{\")");
        }
    }
    const char* where = binary ? "JSON chunk" : "JSON";
    try {
        GltfModel model = ModelReader(fileName, binary ? &bin : nullptr, resources)
                              .read(parseJson(json), withFiles);
        model.files.binary = binary;
        model.files.resources = resources.takeFiles();
        return model;
    } catch (const JsonError& error) {
        throw jsonProblem(fileName, where, error);
    }
}

}  // namespace

GltfModel parseGltf(std::string_view bytes, const std::string& fileName, const fs::path& folder,
                    bool withFiles) {
    GltfModel model = readModel(bytes, fileName, folder, withFiles);
    if (withFiles) model.files.main = bytes;
    return model;
}

GltfModel readGltfFile(const std::string& path, bool withFiles) {
    std::string bytes = readInputFile(path, {"a model file", maxModelBytes});
    GltfModel model = readModel(bytes, path, fs::absolute(utf8Path(path)).parent_path(), withFiles);
    if (withFiles) model.files.main = std::move(bytes);
    return model;
}

}  // namespace sim
