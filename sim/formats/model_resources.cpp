#include "sim/formats/model_resources.h"

#include "sim/formats/base64.h"
#include "sim/formats/model_error.h"
#include "sim/formats/user_files.h"
#include "sim/formats/utf8_path.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string quotedUri(const std::string& uri) { return "\"" + shownInMessage(uri) + "\""; }

// Data a buffer or an image can hold: "data:application/octet-stream;base64,...".
bool isDataType(std::string_view type) {
    return type == "application/octet-stream" || type == "application/gltf-buffer" ||
           type.rfind("image/", 0) == 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string percentDecoded(const std::string& uri) {
    std::string out;
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 &&
            hexValue(uri[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
            i += 2;
        } else {
            out += uri[i];
        }
    }
    return out;
}

ModelResources::ModelResources(std::string fileName, const fs::path& folder, std::size_t used,
                               bool keepBytes)
    : fileName_(std::move(fileName)),
      budget_(used < maxModelBytes ? maxModelBytes - used : 0),
      keepBytes_(keepBytes) {
    std::error_code error;
    if (!folder.empty()) folder_ = fs::canonical(folder, error);
}

void ModelResources::fail(const std::string& place, const std::string& what) const {
    throw ModelError(fileName_ + ": " + place + ": " + what);
}

std::size_t ModelResources::sizeOf(const std::string& uri, const std::string& place) {
    if (uri.rfind("data:", 0) == 0) {
        const std::size_t marker = uri.find(";base64,");
        if (marker == std::string::npos || !isDataType(std::string_view(uri).substr(5, marker - 5)))
            fail(place, "the data: URI " + quotedUri(uri) +
                            " cannot be read: only base64 data of a buffer or image type is");
        const std::optional<std::string> bytes =
            fromBase64(std::string_view(uri).substr(marker + 8));
        if (!bytes) fail(place, "the data: URI " + quotedUri(uri) + " is not valid base64");
        return bytes->size();
    }
    if (const auto known = sizes_.find(uri); known != sizes_.end()) return known->second;
    const std::size_t size = readFile(uri, place);
    sizes_.emplace(uri, size);
    return size;
}

fs::path ModelResources::resolve(const std::string& uri, const std::string& place) const {
    const std::string shown = quotedUri(uri);
    if (folder_.empty())
        fail(place, "refers to the file " + shown + ", which is not available here");
    const std::string name = percentDecoded(uri);
    if (name.empty() || name.find('\0') != std::string::npos)
        fail(place, "refers to " + shown + ", which is not a file name");
    const fs::path path = utf8Path(name);
    if (path.has_root_name() || path.has_root_directory())
        fail(place, "refers to " + shown +
                        ", an absolute path; only files in the model's folder are read");
    // Outside as written, or through a link.
    const auto outside = [&](const fs::path& where) {
        const fs::path inside = where.lexically_relative(folder_);
        if (inside.empty() || *inside.begin() == "..")
            fail(place, "refers to " + shown + ", which lies outside the model's folder " +
                            utf8Text(folder_));
    };
    outside((folder_ / path).lexically_normal());
    std::error_code error;
    const fs::path real = fs::canonical(folder_ / path, error);
    if (error)
        fail(place,
             shown + " is missing: the model's folder " + utf8Text(folder_) + " has no such file");
    outside(real);
    if (!fs::is_regular_file(real, error))
        fail(place, "refers to " + shown + ", which is not a file");
    return real;
}

std::size_t ModelResources::readFile(const std::string& uri, const std::string& place) {
    // Two buffers or images may share a file: the page gets it once.
    for (const auto& [kept, bytes] : files_) {
        if (kept == uri) return bytes.size();
    }
    const fs::path path = resolve(uri, place);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > budget_) {
        fail(place, "refers to " + quotedUri(uri) + ", which takes the model past " +
                        std::to_string(maxModelBytes >> 20) + " MiB");
    }
    if (keepBytes_) {
        try {
            files_.emplace_back(uri,
                                readInputFile(path, quotedUri(uri), {"a model's file", budget_}));
        } catch (const BadInput& problem) {
            fail(place, problem.what());
        }
    }
    budget_ -= static_cast<std::size_t>(size);
    return static_cast<std::size_t>(size);
}

}  // namespace sim
