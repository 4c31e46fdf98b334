#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sim/formats/bad_input.h"
#include "sim/formats/utf8_path.h"

namespace sim {

// The output folder, with the folders above it that did not exist yet. Unless the command keeps
// them, they are removed again where they are still empty, so that a command that fails leaves no
// folder of its own behind.
class OutputFolder {
  public:
    explicit OutputFolder(const std::string& folder) : path_(utf8Path(folder)) {
        std::error_code error;
        for (std::filesystem::path above = path_; !above.empty() && !exists(above, error);
             above = above.parent_path()) {
            made_.push_back(above);
            if (above == above.parent_path()) break;
        }
        std::filesystem::create_directories(path_, error);
        if (error)
            throw BadInput("cannot create the output folder " + folder + ": " + error.message());
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    ~OutputFolder() {
        std::error_code ignored;
        for (const std::filesystem::path& folder : made_) std::filesystem::remove(folder, ignored);
    }

    std::string file(const char* name) const { return utf8Text(path_ / name); }
    void keep() { made_.clear(); }

  private:
    std::filesystem::path path_;
    std::vector<std::filesystem::path> made_;  // deepest first
};

}  // namespace sim
