#include "sim/formats/user_files.h"

#include <filesystem>
#include <fstream>

#include "sim/formats/bad_input.h"
#include "sim/formats/utf8_path.h"

namespace sim {

namespace fs = std::filesystem;

std::string readInputFile(const std::string& path, const InputKind& kind) {
    return readInputFile(utf8Path(path), path, kind);
}

std::string readInputFile(const fs::path& file, const std::string& path, const InputKind& kind) {
    std::error_code error;
    const fs::file_type type = fs::status(file, error).type();
    if (type == fs::file_type::not_found) {
        // No Windows path holds a quote. One at the end is the command line's rule at work: a
        // backslash just before a closing quote keeps the quote, as in "C:\Games\Bike Game\".
        const bool quoteKept = !path.empty() && path.back() == '"';
        throw BadInput(path + ": no such file" +
                       (quoteKept ? " (a backslash just before a closing quote keeps the quote: "
                                    "leave out that last backslash, or type two)"
                                  : ""));
    }
    if (type == fs::file_type::directory) {
        throw BadInput(path + ": is a folder, not " + kind.name +
                       (kind.folderAdvice ? std::string(": ") + kind.folderAdvice : ""));
    }

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

OutputFolder::OutputFolder(const std::string& folder) : path_(utf8Path(folder)) {
    std::error_code error;
    for (fs::path above = path_; !above.empty() && !fs::exists(above, error);
         above = above.parent_path()) {
        made_.push_back(above);
        if (above == above.parent_path()) break;
    }
    fs::create_directories(path_, error);
    if (error) throw BadInput("cannot create the output folder " + folder + ": " + error.message());
}

OutputFolder::~OutputFolder() {
    std::error_code ignored;
    for (const fs::path& folder : made_) fs::remove(folder, ignored);
}

std::string OutputFolder::file(const char* name) const { return utf8Text(path_ / name); }

}  // namespace sim
