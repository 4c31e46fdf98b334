#include "sim/preview/preview_command.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "sim/check/check_model_file.h"
#include "sim/formats/model_resources.h"
#include "sim/formats/model_root_name.h"
#include "sim/formats/trace_file.h"
#include "sim/formats/user_files.h"
#include "sim/formats/utf8_path.h"
#include "sim/preview/page_data.h"
#include "sim/preview/preview_page.h"
#include "sim/preview/standard_ride.h"
#include "sim/report/report.h"
#include "sim/running/scene_runner.h"

namespace sim {

namespace {

// The checker's warnings, each tied to the frame it concerns by the frame's place in the file.
std::vector<PageWarning> checkerWarnings(const GltfModel& model, const ModelFrames& frames,
                                         int gears) {
    const check::ModelFramesCheck checked = check::checkModelFrames(model, frames, gears);
    std::vector<PageWarning> warnings;
    for (const check::FrameReport& frame : checked.report.frames) {
        const auto place = std::find(checked.places.begin(), checked.places.end(), frame.scenePath);
        const int index =
            place == checked.places.end() ? -1 : static_cast<int>(place - checked.places.begin());
        for (const check::Warning& warning : frame.warnings) {
            warnings.push_back({index, check::warningText(frame, warning)});
        }
    }
    return warnings;
}

}  // namespace

PreviewRide previewRide(const PreviewRequest& request, std::optional<int> watchVersion) {
    const GltfModel model = readGltfFile(request.modelPath, true);
    const std::string name = modelRootName(request.modelPath);
    const ModelFrames frames = framesOf(model, request.modelPath, name);
    const int gears = request.gears.value_or(defaultGears(request.kind));
    std::vector<PageWarning> warnings = checkerWarnings(model, frames, gears);
    if (request.warn) {
        for (const PageWarning& warning : warnings) request.warn(warning.text);
    }
    const Scene scene =
        standardRide(request.kind, gears, frames.root, name.empty() ? "model" : name);

    report::RideBuilder builder;
    if (request.tracePath.empty()) {
        runScene(scene, RunOptions{request.libraryPath, nullptr}, builder);
    } else {
        writeTraceFile(request.tracePath, [&](TraceSink& trace) {
            TraceFanOut both(trace, builder);
            runScene(scene, RunOptions{request.libraryPath, nullptr}, both);
        });
    }
    const report::Ride& ride = builder.ride();
    const report::RideVehicle& vehicle = ride.vehicles.at(0);  // the ride's only vehicle
    const PageData data{request.modelPath.substr(request.modelPath.find_last_of("/\\") + 1),
                        vehicleKindName(request.kind),
                        request.axes,
                        &model.files,
                        &frames,
                        &vehicle,
                        std::move(warnings),
                        watchVersion};

    PreviewRide out{report::vehicleSection(ride, vehicle), pageDataJson(data), {}};
    const std::filesystem::path modelPath = utf8Path(request.modelPath);
    out.files.push_back(modelPath);
    for (const auto& [uri, bytes] : model.files.resources) {
        out.files.push_back(modelPath.parent_path() / utf8Path(percentDecoded(uri)));
    }
    return out;
}

std::string writePreview(const PreviewRequest& request) {
    OutputFolder folder(request.outDir);
    const PreviewRide ride = previewRide(request);

    const std::string path = folder.file("preview.html");
    std::ofstream out(utf8Path(path), std::ios::binary);
    out << previewPage(ride.plotsMarkup, ride.dataJson);
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    folder.keep();
    return path;
}

}  // namespace sim
