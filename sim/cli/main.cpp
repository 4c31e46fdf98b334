// vorlix-sim: the substitute host as a tool. Runs scenes with the real library loaded and writes
// what the library did as a trace; the demo also turns its trace into a report.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "hostsim/library_loader.h"
#include "sim/check/catalogue_document.h"
#include "sim/check/check_document.h"
#include "sim/check/check_model_file.h"
#include "sim/check/check_scene.h"
#include "sim/cli/demo_scene.h"
#include "sim/cli/preview_command.h"
#include "sim/formats/model_error.h"
#include "sim/formats/scene.h"
#include "sim/formats/trace_writer.h"
#include "sim/preview/standard_ride.h"
#include "sim/report/report.h"
#include "sim/running/scene_runner.h"
#include "vorlix_version.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int exitBadInput = 2;
constexpr int exitFailure = 1;

// Reported before anything runs, with exit status 2.
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string libraryOrDefault(const std::string& given) {
    const std::string path = given.empty() ? hostsim::defaultLibraryPath() : given;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw BadInput("library not found: " + path);
    return path;
}

std::FILE* openTrace(const std::string& path) {
    if (path.empty() || path == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);  // LF stays LF, as on Linux
#endif
        return stdout;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw BadInput("cannot write the trace file " + path + ": " + std::strerror(errno));
    return file;
}

void finishTrace(sim::TraceWriter& trace, std::FILE* file, const std::string& path) {
    bool ok = trace.flush();
    if (file != stdout) ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw std::runtime_error("writing the trace to " +
                                 (path.empty() ? "standard output" : path) + " failed");
}

void writeReport(const sim::report::Ride& ride, const std::string& path) {
    std::ofstream html(path, std::ios::binary);
    html << sim::report::reportPage(ride);
    html.close();
    if (!html) throw std::runtime_error("cannot write " + path);
}

int runCommand(const std::string& scenePath, const std::string& tracePath,
               const std::string& libraryPath, const std::string& reportPath) {
    const sim::Scene scene = sim::readSceneFile(scenePath);
    const std::string library = libraryOrDefault(libraryPath);
    std::FILE* file = openTrace(tracePath);
    // The report reads the trace back, so with a report it is kept aside until the run is over.
    std::FILE* runTrace = reportPath.empty() ? file : std::tmpfile();
    if (runTrace == nullptr) throw std::runtime_error("cannot make a temporary file for the trace");
    sim::TraceWriter trace(runTrace);
    try {
        sim::runScene(scene, sim::RunOptions{library, nullptr}, trace);
    } catch (const sim::LoadError&) {
        // Nothing ran: leave no trace file behind.
        if (file != stdout) {
            std::fclose(file);
            std::remove(tracePath.c_str());
        }
        throw;
    }
    if (runTrace == file) {
        finishTrace(trace, file, tracePath);
        return 0;
    }
    if (!trace.flush()) throw std::runtime_error("writing the trace to a temporary file failed");
    const std::string text = sim::writtenText(runTrace);
    std::fclose(runTrace);
    sim::TraceWriter copy(file);
    const bool copied = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    finishTrace(copy, file, tracePath);
    if (!copied) throw std::runtime_error("writing the trace failed");
    writeReport(sim::report::readRide(text, tracePath.empty() ? "the trace" : tracePath),
                reportPath);
    return 0;
}

int demoCommand(const std::string& outDir, const std::string& libraryPath) {
    const sim::Scene scene = sim::readScene(sim::defaultSceneJson, sim::defaultSceneName);
    const std::string library = libraryOrDefault(libraryPath);
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error) throw BadInput("cannot create the output folder " + outDir + ": " + error.message());
    const std::string tracePath = (std::filesystem::path(outDir) / "trace.jsonl").string();
    const std::string reportPath = (std::filesystem::path(outDir) / "report.html").string();

    std::FILE* file = openTrace(tracePath);
    sim::TraceWriter trace(file);
    int shown = -1;
    auto progress = [&shown](std::uint32_t done, std::uint32_t total) {
        const int percent =
            static_cast<int>(100ull * done / total) / 5 * 5;  // a few updates, also in logs
        if (percent == shown) return;
        shown = percent;
        std::fprintf(stderr, "\rrunning the demo ride: %3d%%", percent);
        if (done == total) std::fprintf(stderr, "\n");
        std::fflush(stderr);
    };
    sim::runScene(scene, sim::RunOptions{library, progress}, trace);
    finishTrace(trace, file, tracePath);

    std::ifstream in(tracePath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const sim::report::Ride ride = sim::report::readRide(text.str(), tracePath);
    writeReport(ride, reportPath);

    std::cout << sim::report::rideSummary(ride) << "\nTrace:  " << tracePath
              << "\nReport: " << reportPath << "\n";
    return 0;
}

bool isSceneFile(const std::string& path) {
    std::string extension = std::filesystem::u8path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".json";
}

// Says what the library will make of the frame names of every model of each file: a scene's
// models, or a glTF model as a vehicle of the given kind. A bad file is reported and the others
// are still checked; the status is the worst of all. With json, one document at the end.
int checkCommand(const std::vector<std::string>& paths, sim::VehicleKind kind,
                 std::optional<int> gears, bool json) {
    int status = 0;
    sim::check::CheckDocument document;
    for (const std::string& path : paths) {
        try {
            std::string text;
            std::size_t warnings = 0;
            if (isSceneFile(path)) {
                const sim::Scene scene = sim::readSceneFile(path);
                const std::vector<sim::check::ModelReport> models = sim::check::checkScene(scene);
                text = sim::check::formatCheck(scene, models);
                for (const sim::check::ModelReport& model : models) warnings += model.warningCount;
                document.addScene(path, scene, models);
            } else {
                const sim::check::ModelFileCheck model = sim::check::checkModelFile(
                    path, sim::vehicleKindName(kind), gears.value_or(sim::defaultGears(kind)));
                text = model.text;
                warnings = model.warningCount;
                document.addModelFile(path, model);
            }
            if (!json)
                std::cout << (&path == &paths.front() ? "" : "\n") << "checking " << path << "\n\n"
                          << text;
            if (warnings > 0) status = std::max(status, exitFailure);
        } catch (const sim::SceneError& error) {
            std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
            document.addError(path, true, error.what());
            status = exitBadInput;
        } catch (const sim::ModelError& error) {
            std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
            document.addError(path, false, error.what());
            status = exitBadInput;
        }
        if (json && &path == &paths.back()) std::cout << document.text(status);
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("writing to standard output failed");
    }
    return status;
}

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

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"vorlix-sim: runs the Vorlix library inside the substitute host"};
    app.require_subcommand(1);
    // A path such as /scenes/ride.json is a path on every platform, never a /option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", "vorlix-sim " VORLIX_VERSION);

    std::string scenePath, tracePath, libraryPath, outDir = "out/demo";
    CLI::App* run = app.add_subcommand("run", "run a scene and write its trace");
    run->add_option("scene", scenePath, "the scene (JSON)")->required();
    run->add_option("--trace", tracePath, "where to write the trace (default: standard output)");
    run->add_option("--library", libraryPath,
                    "the library to load (default: the one beside this program)");
    std::string reportPath;
    run->add_option("--report", reportPath, "also write the ride's report (HTML) to this file");

    std::vector<std::string> checkPaths;
    std::string vehicle = "motorbike";
    std::optional<int> gears;
    CLI::App* check = app.add_subcommand(
        "check",
        "check the frame names of every model in scenes and glTF models (exit 0: clean, 1: "
        "warnings, 2: a bad file)");
    check->add_option("files", checkPaths, "scenes (.json) and models (.glb, .gltf)")->required();
    check
        ->add_option("--vehicle", vehicle,
                     "what a model is: motorbike, bicycle or car (default: motorbike)")
        ->check(namedOneOf("vehicle", sim::vehicleKindNamed));
    check
        ->add_option("--gears", gears,
                     "the highest gear a model's gear meter shows (default: 6 for a motorbike, 0 "
                     "for a bicycle, 5 for a car)")
        ->check(CLI::Range(0, sim::maxGears));
    std::string checkFormat = "text";
    check->add_option("--format", checkFormat, "text (default) or json: one document for programs")
        ->check(CLI::IsMember({"text", "json"}));

    CLI::App* catalogue = app.add_subcommand(
        "catalogue", "write every component's key, axis and name parameters as JSON");

    sim::PreviewRequest preview;
    std::string previewVehicle = "motorbike", previewAxes = "z-up";
    preview.outDir = "out/preview";
    CLI::App* previewCommand = app.add_subcommand(
        "preview", "run a glTF model on the built-in ride of its kind and write preview.html");
    previewCommand->add_option("model", preview.modelPath, "the model (.glb or .gltf)")->required();
    previewCommand
        ->add_option("--vehicle", previewVehicle,
                     "what the model is: motorbike, bicycle or car (default: motorbike)")
        ->check(namedOneOf("vehicle", sim::vehicleKindNamed));
    previewCommand
        ->add_option("--axes", previewAxes,
                     "how frame axes lie in the nodes: z-up (made in a Z-up tool, exported with +Y "
                     "up; the default) or y-up (node axes as they are)")
        ->check(namedOneOf("axes mapping", sim::axesNamed));
    previewCommand
        ->add_option("--gears", preview.gears,
                     "the highest gear of the ride (default: as for check)")
        ->check(CLI::Range(0, sim::maxGears));
    previewCommand->add_option("--out", preview.outDir, "output folder (default: out/preview)");
    previewCommand->add_option("--library", preview.libraryPath,
                               "the library to load (default: the one beside this program)");

    CLI::App* demo =
        app.add_subcommand("demo", "run the built-in ride and write a trace and a report");
    demo->add_option("--out", outDir, "output folder (default: out/demo)");
    demo->add_option("--library", libraryPath,
                     "the library to load (default: the one beside this program)");

    // Said plainly: the parser would only miss a subcommand.
    if (argc > 1 && argv[1][0] != '-' && std::strcmp(argv[1], "run") != 0 &&
        std::strcmp(argv[1], "demo") != 0 && std::strcmp(argv[1], "check") != 0 &&
        std::strcmp(argv[1], "preview") != 0 && std::strcmp(argv[1], "catalogue") != 0) {
        std::fprintf(stderr,
                     "vorlix-sim: unknown command \"%s\" (expected run, check, preview, catalogue "
                     "or demo)\n",
                     argv[1]);
        return exitBadInput;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : exitBadInput;
    }

    try {
        if (run->parsed()) return runCommand(scenePath, tracePath, libraryPath, reportPath);
        if (previewCommand->parsed()) {
            preview.kind = *sim::vehicleKindNamed(previewVehicle);
            preview.axes = *sim::axesNamed(previewAxes);
            preview.libraryPath = libraryOrDefault(preview.libraryPath);
            std::cout << "Preview: " << sim::writePreview(preview) << "\n";
            return 0;
        }
        if (check->parsed())
            return checkCommand(checkPaths, *sim::vehicleKindNamed(vehicle), gears,
                                checkFormat == "json");
        if (catalogue->parsed()) {
            std::cout << sim::check::catalogueDocument() << std::flush;
            return std::cout ? 0 : exitFailure;
        }
        return demoCommand(outDir, libraryPath);
    } catch (const sim::SceneError& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitBadInput;
    } catch (const sim::ModelError& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitBadInput;
    } catch (const BadInput& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitBadInput;
    } catch (const sim::LoadError& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitBadInput;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vorlix-sim: %s\n", error.what());
        return exitFailure;
    }
}
