#include "sim/formats/gltf_reader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "sim/formats/base64.h"
#include "sim/formats/glb_container.h"
#include "sim/formats/json_shape_check.h"
#include "sim/formats/printable_bytes.h"

// The library's own file access and image codecs are left out: files are read through the
// callbacks below only, and images are carried as the bytes they are.
#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_FS
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#include <tiny_gltf.h>

namespace sim {

namespace fs = std::filesystem;

namespace {

// A text from the file, shown in a message: printable, and not too long.
std::string shown(std::string_view text, std::size_t limit = 60) {
    std::string out;
    for (char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        out += isPrintableByte(byte) ? c : '?';
    }
    return text.size() > limit ? out + "..." : out;
}

// The files a model refers to: only inside its folder, and only up to the model's byte budget.
struct FileAccess {
    fs::path folder;  // canonical; empty: no files at all
    std::size_t budget = 0;
    std::string problem;  // the first file that could not be had

    bool fail(const std::string& what) {
        if (problem.empty()) problem = what;
        return false;
    }

    // The library asks for "uri" and for "./uri"; both mean the uri beside the model.
    bool resolve(std::string name, fs::path& resolved) {
        if (name.rfind("./", 0) == 0) name.erase(0, 2);
        const std::string uri = "\"" + shown(name) + "\"";
        if (name.rfind("data:", 0) == 0) {
            return fail("the data: URI " + uri +
                        " cannot be read: only base64 data of a buffer or image type is");
        }
        if (folder.empty())
            return fail("refers to the file " + uri + ", which is not available here");
        const fs::path path = fs::u8path(name);
        if (path.has_root_name() || path.has_root_directory()) {
            return fail("refers to " + uri +
                        ", an absolute path; only files in the model's folder are read");
        }
        std::error_code error;
        const fs::path real = fs::canonical(folder / path, error);
        if (error)
            return fail("refers to " + uri + ", which is not in the model's folder " +
                        folder.string());
        const fs::path inside = real.lexically_relative(folder);
        if (inside.empty() || *inside.begin() == "..") {
            return fail("refers to " + uri + ", which lies outside the model's folder " +
                        folder.string());
        }
        if (!fs::is_regular_file(real, error))
            return fail("refers to " + uri + ", which is not a file");
        resolved = real;
        return true;
    }

    bool read(const std::string& name, std::vector<unsigned char>& out) {
        fs::path path;
        if (!resolve(name, path)) return false;
        std::error_code error;
        const std::uintmax_t size = fs::file_size(path, error);
        if (error || size > budget) {
            return fail("refers to \"" + shown(name) + "\", which takes the model past " +
                        std::to_string(maxModelBytes >> 20) + " MiB");
        }
        std::ifstream in(path, std::ios::binary);
        out.resize(static_cast<std::size_t>(size));
        if (!in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size))) {
            return fail("cannot read \"" + shown(name) + "\"");
        }
        budget -= static_cast<std::size_t>(size);
        return true;
    }
};

bool fileExists(const std::string& name, void* access) {
    fs::path ignored;
    return static_cast<FileAccess*>(access)->resolve(name, ignored);
}

std::string sameName(const std::string& name, void*) { return name; }

bool readWholeFile(std::vector<unsigned char>* out, std::string*, const std::string& name,
                   void* access) {
    return static_cast<FileAccess*>(access)->read(name, *out);
}

bool writeNothing(std::string*, const std::string&, const std::vector<unsigned char>&, void*) {
    return false;
}

// Images stay as their encoded bytes: the preview page decodes them. loading: the model being
// read, whose buffers and buffer views are complete by the time images come. The library hands
// over an image's buffer view without checking that it lies inside its buffer.
bool keepImageBytes(tinygltf::Image* image, const int index, std::string* err, std::string*, int,
                    int, const unsigned char* bytes, int size, void* loading) {
    if (image->bufferView >= 0) {
        const auto& model = *static_cast<const tinygltf::Model*>(loading);
        const tinygltf::BufferView& view = model.bufferViews[std::size_t(image->bufferView)];
        const std::size_t bufferSize = model.buffers[std::size_t(view.buffer)].data.size();
        if (view.byteOffset > bufferSize || view.byteLength > bufferSize - view.byteOffset) {
            *err += "images[" + std::to_string(index) + "]: bufferViews[" +
                    std::to_string(image->bufferView) + "] (" + std::to_string(view.byteLength) +
                    " bytes from byte " + std::to_string(view.byteOffset) +
                    ") runs past the end of buffers[" + std::to_string(view.buffer) + "] (" +
                    std::to_string(bufferSize) + " bytes)";
            return false;
        }
    }
    image->image.assign(bytes, bytes + size);
    image->as_is = true;
    return true;
}

// The library's message, cut to its first line and with long data left out.
std::string tidy(const std::string& message) {
    std::string line = message.substr(0, message.find('\n'));
    std::string out, word;
    std::istringstream words(line);
    while (words >> word) out += (out.empty() ? "" : " ") + shown(word, 60);
    return out.empty() ? "the glTF library cannot read it" : out;
}

std::string sniffedImageType(const std::vector<unsigned char>& bytes) {
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG", 4) == 0) return "image/png";
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8) return "image/jpeg";
    if (bytes.size() >= 12 && std::memcmp(bytes.data() + 8, "WEBP", 4) == 0) return "image/webp";
    return "application/octet-stream";
}

// The container as the library expects it: header, JSON chunk, BIN chunk, each padded to four
// bytes, and nothing else.
std::string canonicalGlb(const GlbChunks& chunks) {
    auto word = [](std::string& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    auto padded = [](std::string_view data, char fill) {
        std::string out(data);
        out.append((4 - out.size() % 4) % 4, fill);
        return out;
    };
    const std::string json = padded(chunks.json, ' ');
    const std::string bin = padded(chunks.bin, '\0');
    std::string out = "glTF";
    word(out, 2);
    word(out,
         static_cast<std::uint32_t>(12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size())));
    word(out, static_cast<std::uint32_t>(json.size()));
    out += "JSON";
    out += json;
    if (!bin.empty()) {
        word(out, static_cast<std::uint32_t>(bin.size()));
        out.append("BIN\0", 4);
        out += bin;
    }
    return out;
}

// Everything into one file: the first buffer becomes the BIN chunk, other buffers and images
// not in a buffer become data: URIs.
std::string selfContainedGlb(tinygltf::Model& model) {
    if (!model.buffers.empty()) model.buffers[0].uri.clear();
    for (tinygltf::Image& image : model.images) {
        if (image.bufferView >= 0) continue;
        const std::string type =
            image.mimeType.empty() ? sniffedImageType(image.image) : image.mimeType;
        image.uri = "data:" + type + ";base64," +
                    base64({reinterpret_cast<const char*>(image.image.data()), image.image.size()});
        image.image.clear();
    }
    std::ostringstream out;
    tinygltf::TinyGLTF writer;
    writer.WriteGltfSceneToStream(&model, out, false, true);
    // The library writes an object whose fields all have their defaults (an unnamed leaf node, a
    // scene without nodes, a texture without a source) as null, which no reader takes.
    const std::string glb = out.str();
    const GlbChunks chunks = readGlbChunks(glb, "the self-contained .glb");
    nlohmann::json json = nlohmann::json::parse(chunks.json);
    for (auto& [key, value] : json.items()) {
        if (!value.is_array()) continue;
        for (auto& element : value) {
            if (element.is_null()) element = nlohmann::json::object();
        }
    }
    return canonicalGlb({json.dump(), chunks.bin});
}

bool hasExtension(const std::string& fileName, const char* extension) {
    std::string tail = fs::u8path(fileName).extension().string();
    std::transform(tail.begin(), tail.end(), tail.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return tail == extension;
}

std::string countOf(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

GltfModel hierarchyOf(const tinygltf::Model& model, const std::string& fileName) {
    auto fail = [&](const std::string& place, const std::string& what) {
        throw ModelError(fileName + ": " + place + ": " + what);
    };
    if (model.asset.version.rfind("2.", 0) != 0) {
        fail("asset.version",
             "glTF version \"" + shown(model.asset.version) + "\" (only 2.x is read)");
    }
    GltfModel out;
    out.nodes.reserve(model.nodes.size());
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        const tinygltf::Node& node = model.nodes[i];
        if (node.mesh >= 0 && static_cast<std::size_t>(node.mesh) >= model.meshes.size()) {
            fail("nodes[" + std::to_string(i) + "].mesh",
                 "mesh " + std::to_string(node.mesh) + " is out of range (the file has " +
                     countOf(model.meshes.size(), "mesh", "meshes") + ")");
        }
        out.nodes.push_back({node.name, node.children, node.mesh >= 0});
    }
    if (model.scenes.empty()) fail("scenes", "the file has no scene to show");
    if (model.defaultScene >= 0) {
        if (static_cast<std::size_t>(model.defaultScene) >= model.scenes.size()) {
            fail("scene", "scene " + std::to_string(model.defaultScene) +
                              " is out of range (the file has " +
                              countOf(model.scenes.size(), "scene", "scenes") + ")");
        }
        out.scene = model.defaultScene;
    }
    out.roots = model.scenes[static_cast<std::size_t>(out.scene)].nodes;
    return out;
}

}  // namespace

GltfModel parseGltf(std::string_view bytes, const std::string& fileName, const fs::path& folder,
                    bool withGlb) {
    FileAccess access;
    std::error_code error;
    if (!folder.empty()) access.folder = fs::canonical(folder, error);
    access.budget = bytes.size() < maxModelBytes ? maxModelBytes - bytes.size() : 0;

    tinygltf::TinyGLTF loader;
    loader.SetFsCallbacks({&fileExists, &sameName, &readWholeFile, &writeNothing, &access});
    tinygltf::Model model;
    loader.SetImageLoader(&keepImageBytes, &model);
    std::string err, warn;
    bool loaded = false;
    if (looksLikeGlb(bytes) || hasExtension(fileName, ".glb")) {
        const GlbChunks chunks = readGlbChunks(bytes, fileName);
        checkModelJson(chunks.json, fileName, "JSON chunk");
        const std::string glb = canonicalGlb(chunks);
        loaded = loader.LoadBinaryFromMemory(
            &model, &err, &warn, reinterpret_cast<const unsigned char*>(glb.data()),
            static_cast<unsigned>(glb.size()), "", tinygltf::REQUIRE_VERSION);
    } else {
        const std::size_t first = bytes.find_first_not_of(" \t\r\n");
        if (first == std::string_view::npos || bytes[first] != '{') {
            throw ModelError(fileName +
                             ": not a glTF file: neither a .glb (which begins with \"glTF\") "
                             "nor glTF JSON text (which begins with \"{\")");
        }
        checkModelJson(bytes, fileName, "JSON");
        loaded = loader.LoadASCIIFromString(&model, &err, &warn, bytes.data(),
                                            static_cast<unsigned>(bytes.size()), "",
                                            tinygltf::REQUIRE_VERSION);
    }
    // A file the model refers to and cannot be had is an error also where the library would go on
    // without it (an image).
    if (!access.problem.empty()) throw ModelError(fileName + ": " + access.problem);
    if (!loaded) throw ModelError(fileName + ": " + tidy(err));

    GltfModel out = hierarchyOf(model, fileName);
    if (withGlb) out.glb = selfContainedGlb(model);
    return out;
}

GltfModel readGltfFile(const std::string& path, bool withGlb) {
    std::error_code error;
    if (fs::is_directory(path, error)) throw ModelError(path + ": is a folder, not a model file");
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) throw ModelError(path + ": cannot open the model file");
    if (size > maxModelBytes) {
        throw ModelError(path + ": " + std::to_string(size) + " bytes, more than the " +
                         std::to_string(maxModelBytes >> 20) + " MiB a model may have");
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
        throw ModelError(path + ": cannot read the model file");
    }
    return parseGltf(bytes, path, fs::absolute(path).parent_path(), withGlb);
}

}  // namespace sim
