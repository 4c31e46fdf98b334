// vorlix-sim: the substitute host as a tool. Runs scenes with the real library loaded and writes
// what the library did as a trace; the demo also turns its trace into a report.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "hostsim/library_loader.h"
#include "sim/check/check_scene.h"
#include "sim/cli/demo_scene.h"
#include "sim/formats/scene.h"
#include "sim/formats/trace_writer.h"
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

int runCommand(const std::string& scenePath, const std::string& tracePath,
               const std::string& libraryPath) {
    const sim::Scene scene = sim::readSceneFile(scenePath);
    const std::string library = libraryOrDefault(libraryPath);
    std::FILE* file = openTrace(tracePath);
    sim::TraceWriter trace(file);
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
    finishTrace(trace, file, tracePath);
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
    const sim::Report report = sim::buildReport(scene, text.str());
    std::ofstream html(reportPath, std::ios::binary);
    html << report.html;
    html.close();
    if (!html) throw std::runtime_error("cannot write " + reportPath);

    std::cout << report.summary << "\nTrace:  " << tracePath << "\nReport: " << reportPath << "\n";
    return 0;
}

// Reads the scene and says what the library will make of every model's frame names.
int checkCommand(const std::string& scenePath) {
    const sim::Scene scene = sim::readSceneFile(scenePath);
    const std::vector<sim::check::ModelReport> models = sim::check::checkScene(scene);
    std::cout << "checking " << scenePath << "\n\n" << sim::check::formatCheck(scene, models);
    std::cout.flush();
    if (!std::cout) throw std::runtime_error("writing to standard output failed");
    for (const sim::check::ModelReport& model : models) {
        if (model.warningCount > 0) return exitFailure;
    }
    return 0;
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

    std::string checkPath;
    CLI::App* check = app.add_subcommand("check",
                                         "check the frame names of every model in a scene (exit 0: "
                                         "clean, 1: warnings, 2: bad scene)");
    check->add_option("scene", checkPath, "the scene (JSON)")->required();

    CLI::App* demo =
        app.add_subcommand("demo", "run the built-in ride and write a trace and a report");
    demo->add_option("--out", outDir, "output folder (default: out/demo)");
    demo->add_option("--library", libraryPath,
                     "the library to load (default: the one beside this program)");

    // Said plainly: the parser would only miss a subcommand.
    if (argc > 1 && argv[1][0] != '-' && std::strcmp(argv[1], "run") != 0 &&
        std::strcmp(argv[1], "demo") != 0 && std::strcmp(argv[1], "check") != 0) {
        std::fprintf(stderr, "vorlix-sim: unknown command \"%s\" (expected run, check or demo)\n",
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
        if (run->parsed()) return runCommand(scenePath, tracePath, libraryPath);
        if (check->parsed()) return checkCommand(checkPath);
        return demoCommand(outDir, libraryPath);
    } catch (const sim::SceneError& error) {
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
