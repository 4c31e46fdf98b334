#include "sim/cli/ride_commands.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "sim/cli/demo_scene.h"
#include "sim/cli/library_path.h"
#include "sim/formats/trace_file.h"
#include "sim/formats/trace_reader.h"
#include "sim/formats/user_files.h"
#include "sim/formats/utf8_path.h"
#include "sim/report/report.h"
#include "sim/running/scene_runner.h"

namespace sim::cli {

namespace {

// The page of a ride read from a file is titled after that file.
std::string rideOf(const std::string& path) {
    return "ride of " + utf8Text(utf8Path(path).filename());
}

void writeReport(const report::Ride& ride, const std::string& path, const std::string& title) {
    std::ofstream html(utf8Path(path), std::ios::binary);
    html << report::reportPage(ride, title);
    html.close();
    if (!html) throw std::runtime_error("cannot write " + path);
}

// Runs the scene into the trace file, and into the ride builder when one is given.
void runIntoTrace(const Scene& scene, const RunOptions& options, const std::string& tracePath,
                  report::RideBuilder* ride) {
    writeTraceFile(tracePath, [&](TraceSink& trace) {
        if (ride == nullptr) {
            runScene(scene, options, trace);
        } else {
            TraceFanOut both(trace, *ride);
            runScene(scene, options, both);
        }
    });
}

}  // namespace

int runCommand(const Arguments& arguments) {
    const Scene scene = readSceneFile(arguments.scene);
    const RunOptions options{libraryOrDefault(arguments.library), nullptr};
    if (arguments.report.empty()) {
        runIntoTrace(scene, options, arguments.trace, nullptr);
        return 0;
    }
    report::RideBuilder ride;
    runIntoTrace(scene, options, arguments.trace, &ride);
    writeReport(ride.ride(), arguments.report, rideOf(arguments.scene));
    return 0;
}

int demoCommand(const Arguments& arguments) {
    const Scene scene = readScene(defaultSceneJson, defaultSceneName);
    const std::string library = libraryOrDefault(arguments.library);
    OutputFolder folder(arguments.out);
    const std::string tracePath = folder.file("trace.jsonl");
    const std::string reportPath = folder.file("report.html");

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
    report::RideBuilder ride;
    runIntoTrace(scene, RunOptions{library, progress}, tracePath, &ride);
    writeReport(ride.ride(), reportPath, "demo ride");
    folder.keep();

    std::cout << report::rideSummary(ride.ride()) << "\nTrace:  " << tracePath
              << "\nReport: " << reportPath << "\n";
    return 0;
}

int reportCommand(const Arguments& arguments) {
    const report::Ride ride = report::readRide(
        readInputFile(arguments.trace, {"a trace file", maxTraceBytes}), arguments.trace);
    OutputFolder folder(arguments.out);
    const std::string reportPath = folder.file("report.html");
    writeReport(ride, reportPath, rideOf(arguments.trace));
    folder.keep();
    std::cout << report::rideSummary(ride) << "\nReport: " << reportPath << "\n";
    return 0;
}

}  // namespace sim::cli
