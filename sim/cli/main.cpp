// vorlix-sim: the substitute host as a tool. Runs scenes with the real library loaded and writes
// what the library did as a trace, a report or a model's preview; checks frame names.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "sim/cli/exit_status.h"
#include "sim/cli/subcommands.h"
#include "sim/formats/bad_input.h"
#include "vorlix_version.h"

int main(int argc, char** argv) {
    using namespace sim::cli;
    CLI::App app{"vorlix-sim: runs the Vorlix library inside the substitute host"};
    app.require_subcommand(1);
    // A path such as /scenes/ride.json is a path on every platform, never a /option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "vorlix-sim " VORLIX_VERSION);

    std::vector<Arguments> arguments(subcommands().size());
    std::vector<CLI::App*> commands;
    bool known = argc < 2 || argv[1][0] == '-';
    for (std::size_t i = 0; i < subcommands().size(); ++i) {
        const Subcommand& subcommand = subcommands()[i];
        commands.push_back(app.add_subcommand(subcommand.name, subcommand.help));
        subcommand.addOptions(*commands.back(), arguments[i]);
        known = known || subcommand.name == std::string(argv[1]);
    }
    // Said plainly: the parser would only miss a subcommand.
    if (!known) {
        std::fprintf(stderr, "vorlix-sim: unknown command \"%s\" (expected %s)\n", argv[1],
                     subcommandNames().c_str());
        return exitBadInput;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : exitBadInput;
    }

    try {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (commands[i]->parsed()) return subcommands()[i].run(arguments[i]);
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
