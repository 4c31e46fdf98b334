#include "sim/game/game_command.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <iterator>
#include <ostream>

#include "sim/game/game_check.h"
#include "sim/game/pe_image.h"

namespace sim::game {

namespace {

constexpr int exitBadInput = 2;

}  // namespace

CLI::App* addGameCommand(CLI::App& app, std::string& path) {
    CLI::App* command = app.add_subcommand(
        "game",
        "say which build a game executable is and whether Vorlix supports it (exit 0: supported "
        "and as expected, 1: not supported, changed on disk or packed, 2: not a readable "
        "executable)");
    command->add_option("executable", path, "the game's executable (.exe)")->required();
    return command;
}

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
