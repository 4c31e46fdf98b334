#pragma once
// What the host and other programs can tell of a file the library keeps open.

#include <filesystem>

namespace hostsim {

// Whether this process has the file open.
bool heldOpen(const std::filesystem::path& file);
// Whether another program could open the file for reading and writing at this moment.
bool othersMayReadAndWrite(const std::filesystem::path& file);

}  // namespace hostsim
