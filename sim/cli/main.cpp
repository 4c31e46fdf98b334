// vorlix-sim: the substitute host as a tool. Runs scenes with the real library loaded and writes
// what the library did as a trace, a report or a model's preview; checks frame names.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/cli/console_window.h"
#include "sim/cli/exit_status.h"
#include "sim/cli/network_layer.h"
#include "sim/cli/subcommands.h"
#include "sim/formats/bad_input.h"
#include "sim/formats/utf8_path.h"
#include "vorlix_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace sim::cli;

bool isSubcommand(const std::string& word) {
    for (const Subcommand& subcommand : subcommands()) {
        if (word == subcommand.name) return true;
    }
    return false;
}

// A file dropped onto the program arrives as its only argument: it is a game to check.
bool isDroppedFile(const std::vector<std::string>& words) {
    if (words.size() != 2 || words[1].empty() || words[1][0] == '-' || isSubcommand(words[1]))
        return false;
    std::error_code error;
    return std::filesystem::exists(sim::utf8Path(words[1]), error);
}

int run(std::vector<std::string> words) {
    if (isDroppedFile(words)) words.insert(words.begin() + 1, "game");
    if (words.size() < 2) {
        std::fprintf(stderr,
                     "vorlix-sim: to check your game, drag the game's program file (.exe) onto "
                     "vorlix-sim.exe, or give it with the game command:\n"
                     "  vorlix-sim game \"C:\\path\\to\\the\\game.exe\"\n");
    }

    CLI::App app{"vorlix-sim: runs the Vorlix library inside the substitute host"};
    app.require_subcommand(1);
    // A path such as /scenes/ride.json is a path on every platform, never a /option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "vorlix-sim " VORLIX_VERSION);

    std::vector<Arguments> arguments(subcommands().size());
    std::vector<CLI::App*> commands;
    for (std::size_t i = 0; i < subcommands().size(); ++i) {
        const Subcommand& subcommand = subcommands()[i];
        commands.push_back(app.add_subcommand(subcommand.name, subcommand.help));
        subcommand.addOptions(*commands.back(), arguments[i]);
    }
    // Said plainly: the parser would only miss a subcommand.
    if (words.size() >= 2 && words[1][0] != '-' && !isSubcommand(words[1])) {
        std::fprintf(stderr, "vorlix-sim: unknown command \"%s\" (expected %s)\n", words[1].c_str(),
                     subcommandNames().c_str());
        return exitBadInput;
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : exitBadInput;
    }

    try {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (!commands[i]->parsed()) continue;
            if (arguments[i].watch) startNetworkLayer();
            return subcommands()[i].run(arguments[i]);
        }
        return exitFailure;  // the parser requires one subcommand
    } catch (const sim::BadInput& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitBadInput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitFailure;
    }
}

// A window opened for the program alone stays open until the player has read it.
int runInConsole(std::vector<std::string> words) {
    showUtf8OnConsole();
    const bool ownWindow = consoleWindowIsOurOwn();
    const int status = run(std::move(words));
    if (ownWindow) waitForKeyPress();
    return status;
}

}  // namespace

#ifdef _WIN32
// The wide command line: the ANSI one cannot hold every letter of a player's folder names.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> words;
    for (int i = 0; i < argc; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string word(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, word.data(), size, nullptr, nullptr);
        word.pop_back();  // the terminating zero
        words.push_back(std::move(word));
    }
    return runInConsole(std::move(words));
}
#else
int main(int argc, char** argv) {
    return runInConsole(std::vector<std::string>(argv, argv + argc));
}
#endif
