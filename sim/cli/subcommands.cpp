#include "sim/cli/subcommands.h"

#include <iostream>
#include <vector>

#include "sim/check/catalogue_document.h"
#include "sim/cli/check_command.h"
#include "sim/cli/exit_status.h"
#include "sim/cli/library_path.h"
#include "sim/cli/ride_commands.h"
#include "sim/formats/message_words.h"
#include "sim/formats/vehicle_kind.h"
#include "sim/game/game_command.h"
#include "sim/preview/axes_mapping.h"
#include "sim/preview/preview_command.h"
#include "sim/preview/preview_watch.h"

namespace sim::cli {

namespace {

// --vehicle and --axes take these names.
template <typename Named>
CLI::Validator namedOneOf(const char* what, Named named) {
    return CLI::Validator(
        [what, named](std::string& text) {
            return named(text) ? std::string()
                               : std::string("unknown ") + what + " \"" + text + "\"";
        },
        "", what);
}

// The options that several subcommands share, each written once.

void addLibrary(CLI::App& command, Arguments& arguments) {
    command.add_option("--library", arguments.library,
                       "the library to load (default: the one beside this program)");
}

void addVehicle(CLI::App& command, Arguments& arguments) {
    command
        .add_option(
            "--vehicle", arguments.vehicle,
            "what a model is: " + vehicleKindNames() + " (default: " + arguments.vehicle + ")")
        ->check(namedOneOf("vehicle", vehicleKindNamed));
    command
        .add_option(
            "--gears", arguments.gears,
            "the highest gear a model's gear meter shows (default: " + defaultGearsText() + ")")
        ->check(CLI::Range(0, maxGears));
}

CLI::Option* addOut(CLI::App& command, Arguments& arguments, const std::string& folder) {
    arguments.out = folder;
    return command.add_option("--out", arguments.out, "output folder (default: " + folder + ")");
}

void runOptions(CLI::App& command, Arguments& arguments) {
    command.add_option("scene", arguments.scene, "the scene (JSON)")->required();
    command.add_option("--trace", arguments.trace,
                       "where to write the trace (default: standard output)");
    addLibrary(command, arguments);
    command.add_option("--report", arguments.report,
                       "also write the ride's report (HTML) to this file");
}

void checkOptions(CLI::App& command, Arguments& arguments) {
    command.add_option("files", arguments.files, "scenes (.json) and models (.glb, .gltf)")
        ->required();
    addVehicle(command, arguments);
    command
        .add_option("--format", arguments.format,
                    "text (the default) or json: one document for programs")
        ->check(CLI::IsMember({"text", "json"}));
}

void previewOptions(CLI::App& command, Arguments& arguments) {
    command.add_option("model", arguments.model, "the model (.glb or .gltf)")->required();
    addVehicle(command, arguments);
    command
        .add_option("--axes", arguments.axes,
                    "how frame axes lie in the nodes: z-up (made in a Z-up tool, exported with +Y "
                    "up; the default) or y-up (node axes as they are)")
        ->check(namedOneOf("axes mapping", axesNamed));
    CLI::Option* out = addOut(command, arguments, "out/preview");
    CLI::Option* trace =
        command.add_option("--trace", arguments.trace, "also write the ride's trace to this file");
    addLibrary(command, arguments);
    CLI::Option* watch = command.add_flag(
        "--watch", arguments.watch,
        "serve the page on 127.0.0.1 instead of writing it, and show the ride again whenever the "
        "model or a file it refers to changes, until Ctrl-C");
    watch->excludes(out)->excludes(trace);
    command.add_option("--port", arguments.port, "the port to serve on (default: a free one)")
        ->needs(watch);
}

int previewCommand(const Arguments& arguments) {
    PreviewRequest request;
    request.modelPath = arguments.model;
    request.kind = *vehicleKindNamed(arguments.vehicle);
    request.gears = arguments.gears;
    request.axes = *axesNamed(arguments.axes);
    request.outDir = arguments.out;
    request.tracePath = arguments.trace;
    request.libraryPath = libraryOrDefault(arguments.library);
    request.warn = [](const std::string& warning) { std::cerr << "warning: " << warning << "\n"; };
    if (arguments.watch) {
        watchPreview(request, arguments.port, std::cout, std::cerr);
        return 0;
    }
    // Nothing goes to standard output unless the page was written.
    const std::string page = writePreview(request);
    std::cout << "Preview: " << page << "\n";
    return 0;
}

void noOptions(CLI::App&, Arguments&) {}

int catalogueCommand(const Arguments&) {
    std::cout << check::catalogueDocument() << std::flush;
    return std::cout ? 0 : exitFailure;
}

void demoOptions(CLI::App& command, Arguments& arguments) {
    addOut(command, arguments, "out/demo");
    addLibrary(command, arguments);
}

void reportOptions(CLI::App& command, Arguments& arguments) {
    command.add_option("trace", arguments.trace, "a trace that run, preview or demo wrote")
        ->required();
    addOut(command, arguments, "out/report");
}

void gameOptions(CLI::App& command, Arguments& arguments) {
    command.add_option("executable", arguments.executable, "the game's executable (.exe)")
        ->required();
}

int gameCommand(const Arguments& arguments) {
    return game::gameCommand(arguments.executable, std::cout);
}

const Subcommand table[] = {
    {"run", "run a scene and write its trace", runOptions, runCommand},
    {"check",
     "check the frame names of every model in scenes and glTF models (exit 0: clean, 1: "
     "warnings, 2: a bad file)",
     checkOptions, checkCommand},
    {"preview", "run a glTF model on the built-in ride of its kind and write preview.html",
     previewOptions, previewCommand},
    {"catalogue", "write every component's key, axis and name parameters as JSON, for tools",
     noOptions, catalogueCommand},
    {"demo", "run the built-in ride and write a trace and a report", demoOptions, demoCommand},
    {"report", "write the report of a saved trace, as demo and run --report do", reportOptions,
     reportCommand},
    {"game",
     "say which build a game executable is and whether Vorlix supports it (exit 0: supported "
     "and as expected, 1: not supported, changed on disk or packed, 2: not a readable "
     "executable)",
     gameOptions, gameCommand},
};

}  // namespace

std::span<const Subcommand> subcommands() { return table; }

std::string subcommandNames() {
    std::vector<std::string> names;
    for (const Subcommand& subcommand : table) names.push_back(subcommand.name);
    return listed(names);
}

}  // namespace sim::cli
