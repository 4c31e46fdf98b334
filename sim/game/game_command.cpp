#include "sim/game/game_command.h"

#include <fstream>
#include <iterator>
#include <ostream>

#include "sim/game/game_check.h"
#include "sim/game/pe_image.h"

namespace sim::game {

namespace {

constexpr int exitBadInput = 2;

}  // namespace

int gameCommand(const std::string& path, std::ostream& out, std::ostream& error) {
    std::ifstream file(path, std::ios::binary);
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
