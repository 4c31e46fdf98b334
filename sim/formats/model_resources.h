#pragma once
// What a model's buffers and images refer to: data: URIs, and files beside the model. Only files
// inside the model's folder are read, and the model with all its files brings in at most
// maxModelBytes. Every problem is a ModelError naming the model file, the uri's place and what is
// wrong.

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// What one model may bring in, its own file and the files it refers to together.
inline constexpr std::size_t maxModelBytes = std::size_t{128} << 20;

// The file name that a uri written in a model stands for: exporters write "my%20bike.bin" for
// "my bike.bin".
std::string percentDecoded(const std::string& uri);

class ModelResources {
  public:
    // folder: where the model's files are (empty: it may refer to none); used: the model file's
    // own size; keepBytes: keep the bytes of the files referred to.
    ModelResources(std::string fileName, const std::filesystem::path& folder, std::size_t used,
                   bool keepBytes);

    // The size of what uri gives. place: where the uri stands in the model, as "buffers[0].uri".
    std::size_t sizeOf(const std::string& uri, const std::string& place);

    // Each file referred to, by its uri as written, with its bytes, in the order first referred
    // to; none unless the bytes are kept.
    std::vector<std::pair<std::string, std::string>> takeFiles() { return std::move(files_); }

  private:
    [[noreturn]] void fail(const std::string& place, const std::string& what) const;
    std::filesystem::path resolve(const std::string& uri, const std::string& place) const;
    std::size_t readFile(const std::string& uri, const std::string& place);

    std::string fileName_;
    std::filesystem::path folder_;  // canonical; empty: no files at all
    std::size_t budget_;
    bool keepBytes_;
    std::map<std::string, std::size_t, std::less<>> sizes_;  // by uri
    std::vector<std::pair<std::string, std::string>> files_;
};

}  // namespace sim
