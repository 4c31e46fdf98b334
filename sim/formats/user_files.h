#pragma once
// The files and folders a user names on the command line. Every reader of an input file and every
// command that writes into a folder goes through here, so each problem has one wording and one
// exit status (BadInput: nothing ran).

#include <cstddef>
#include <filesystem>
#include <string>

namespace sim {

// What an input file is, for its messages, and how large it may be.
struct InputKind {
    const char* name;  // "a scene file"
    std::size_t maxBytes;
};

// The whole file. Throws BadInput with one of
//   PATH: no such file
//   PATH: is a folder, not a scene file
//   PATH: cannot be read
//   PATH: more than the 64 MiB a scene file may have
// where PATH is the path as the user wrote it (UTF-8).
std::string readInputFile(const std::string& path, const InputKind& kind);
// The same for a file found by the program, named in messages as shown.
std::string readInputFile(const std::filesystem::path& file, const std::string& shown,
                          const InputKind& kind);

// Makes the folder and its parents if they are missing. Throws BadInput when it cannot.
void makeOutputFolder(const std::string& folder);

}  // namespace sim
