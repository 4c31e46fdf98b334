#include "sim/cli/library_path.h"

#include <filesystem>

#include "hostsim/library_loader.h"
#include "sim/formats/bad_input.h"
#include "sim/formats/utf8_path.h"

namespace sim::cli {

std::string libraryOrDefault(const std::string& given) {
    const std::string path = given.empty() ? hostsim::defaultLibraryPath() : given;
    std::error_code error;
    if (!std::filesystem::is_regular_file(utf8Path(path), error))
        throw BadInput("library not found: " + path);
    return path;
}

}  // namespace sim::cli
