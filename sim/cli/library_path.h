#pragma once

#include <string>

namespace sim::cli {

// The library to load: the given path, or the one beside the program. Throws BadInput when there
// is no such file.
std::string libraryOrDefault(const std::string& given);

}  // namespace sim::cli
