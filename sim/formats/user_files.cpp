#include "sim/formats/user_files.h"

#include <filesystem>
#include <fstream>

#include "sim/formats/bad_input.h"

namespace sim {

namespace fs = std::filesystem;

std::string readInputFile(const std::string& path, const InputKind& kind) {
    return readInputFile(fs::u8path(path), path, kind);
}

std::string readInputFile(const fs::path& file, const std::string& path, const InputKind& kind) {
    std::error_code error;
    const fs::file_type type = fs::status(file, error).type();
    if (type == fs::file_type::not_found) throw BadInput(path + ": no such file");
    if (type == fs::file_type::directory) throw BadInput(path + ": is a folder, not " + kind.name);

    // Read in pieces rather than by the size on disk: a pipe has none.
    std::ifstream in(file, std::ios::binary);
    std::string bytes;
    char piece[1 << 16];
    while (in) {
        in.read(piece, sizeof piece);
        bytes.append(piece, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kind.maxBytes) {
            throw BadInput(path + ": more than the " + std::to_string(kind.maxBytes >> 20) +
                           " MiB " + kind.name + " may have");
        }
    }
    if (!in.eof()) throw BadInput(path + ": cannot be read");
    return bytes;
}

void makeOutputFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(fs::u8path(folder), error);
    if (error) throw BadInput("cannot create the output folder " + folder + ": " + error.message());
}

}  // namespace sim
