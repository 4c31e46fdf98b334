#pragma once
// The files and folders a user names on the command line. Every reader of an input file and every
// command that writes into a folder goes through here, so each problem has one wording and one
// exit status (BadInput: nothing ran).

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace sim {

// What an input file is, for its messages, and how large it may be.
struct InputKind {
    const char* name;  // "a scene file"
    std::size_t maxBytes;
    const char* folderAdvice =
        nullptr;  // what to give instead of a folder, if there is more to say
};

// The whole file. Throws BadInput with one of
//   PATH: no such file (with the command line's quoting rule when PATH ends in a quote)
//   PATH: is a folder, not a scene file
//   PATH: cannot be read
//   PATH: more than the 64 MiB a scene file may have
// where PATH is the path as the user wrote it (UTF-8).
std::string readInputFile(const std::string& path, const InputKind& kind);
// The same for a file found by the program, named in messages as shown.
std::string readInputFile(const std::filesystem::path& file, const std::string& shown,
                          const InputKind& kind);

// The output folder of a command, made with the folders above it that did not exist yet. Unless
// the command keeps them, they are removed again where they are still empty, so that a command that
// fails leaves no folder of its own behind. Throws BadInput when the folder cannot be made.
class OutputFolder {
  public:
    explicit OutputFolder(const std::string& folder);
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;
    ~OutputFolder();

    // A file in the folder, as UTF-8 text.
    std::string file(const char* name) const;
    void keep() { made_.clear(); }

  private:
    std::filesystem::path path_;
    std::vector<std::filesystem::path> made_;  // deepest first
};

}  // namespace sim
