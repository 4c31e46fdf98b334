#include "sim/game/game_command.h"

#include <filesystem>
#include <ostream>

#include "sim/formats/bad_input.h"
#include "sim/formats/user_files.h"
#include "sim/formats/utf8_path.h"
#include "sim/game/game_check.h"

namespace sim::game {

namespace {

// No Windows path holds a quote. One at the end is the command line's rule at work: a backslash
// just before a closing quote keeps the quote in the text, as in "C:\Games\Bike Game\".
bool endsWithQuote(const std::string& path) { return !path.empty() && path.back() == '"'; }

// What a player who gave the game's folder, or a folder with the quote kept, is to type instead.
void refuseFolder(const std::string& path) {
    std::error_code status;
    const auto type = std::filesystem::status(utf8Path(path), status).type();
    if (endsWithQuote(path) && type != std::filesystem::file_type::regular) {
        throw BadInput(path +
                       ": no such file (a backslash just before a closing quote keeps the quote: "
                       "leave out that last backslash, or type two)");
    }
    if (type == std::filesystem::file_type::directory) {
        throw BadInput(path +
                       ": a folder, not a game executable: give the game's main program file "
                       "(.exe) in it");
    }
}

}  // namespace

int gameCommand(const std::string& path, std::ostream& out) {
    refuseFolder(path);
    const std::string bytes = readInputFile(path, {"a game executable", std::size_t{256} << 20});
    const GameCheck check = checkGame(bytes, path);
    out << check.text;
    return check.status;
}

}  // namespace sim::game
