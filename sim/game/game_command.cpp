#include "sim/game/game_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "sim/game/game_check.h"
#include "sim/game/pe_image.h"

namespace sim::game {

namespace {

constexpr int exitBadInput = 2;

// No Windows path holds a quote. One at the end is the command line's rule at work: a backslash
// just before a closing quote keeps the quote in the text, as in "C:\Games\Bike Game\".
bool endsWithQuote(const std::string& path) { return !path.empty() && path.back() == '"'; }

}  // namespace

int gameCommand(const std::string& path, std::ostream& out, std::ostream& error) {
    std::error_code status;
    const auto type = std::filesystem::status(std::filesystem::u8path(path), status).type();
    const bool quoteKept = endsWithQuote(path) && type != std::filesystem::file_type::regular;
    if (type == std::filesystem::file_type::not_found || quoteKept) {
        error << "vorlix-sim: " << path << ": no such file"
              << (quoteKept ? " (a backslash just before a closing quote keeps the quote: leave "
                              "out that last backslash, or type two)"
                            : "")
              << "\n";
        return exitBadInput;
    }
    if (type == std::filesystem::file_type::directory) {
        error << "vorlix-sim: " << path
              << ": a folder, not a game executable: give the game's main program file (.exe) "
                 "in it\n";
        return exitBadInput;
    }
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    std::string bytes;
    if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file && !file.eof()) {
        error << "vorlix-sim: " << path << ": cannot be read\n";
        return exitBadInput;
    }
    try {
        const GameCheck check = checkGame(bytes, path);
        out << check.text;
        return check.status;
    } catch (const PeError& problem) {
        error << "vorlix-sim: " << problem.what() << "\n";
        return exitBadInput;
    }
}

}  // namespace sim::game
