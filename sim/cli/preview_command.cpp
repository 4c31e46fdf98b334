#include "sim/cli/preview_command.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "preview/preview_page.h"
#include "sim/check/check_model_file.h"
#include "sim/formats/gltf_reader.h"
#include "sim/formats/model_frames.h"
#include "sim/formats/trace_writer.h"
#include "sim/preview/preview_data.h"
#include "sim/report/report.h"
#include "sim/running/scene_runner.h"

namespace sim {

namespace {

std::string runToText(const Scene& scene, const std::string& library) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) throw std::runtime_error("cannot make a temporary file for the trace");
    TraceWriter trace(file);
    runScene(scene, RunOptions{library, nullptr}, trace);
    trace.flush();
    std::string text = writtenText(file);
    std::fclose(file);
    return text;
}

// "degrees"; "link" or "gear": the index of the child shown (-1 none, -2 several); "reading".
std::string unitOf(const ComponentEntry& entry) {
    switch (entry.children) {
        case ChildFrames::chainLinkSets:
            return "link";
        case ChildFrames::gearDisplays:
            return "gear";
        case ChildFrames::odometerWheels:
            return "reading";
        case ChildFrames::none:
            break;
    }
    return "degrees";
}

}  // namespace

std::string writePreview(const PreviewRequest& request) {
    const GltfModel model = readGltfFile(request.modelPath, true);
    const std::string name = check::modelRootName(request.modelPath);
    const ModelFrames frames = framesOf(model, request.modelPath, name);
    const std::string vehicleName = name.empty() ? "model" : name;
    const Scene scene = standardRide(
        request.kind, request.gears.value_or(defaultGears(request.kind)), frames.root, vehicleName);

    PreviewData data;
    data.title = request.modelPath.substr(request.modelPath.find_last_of("/\\") + 1);
    data.vehicle = vehicleKindName(request.kind);
    data.axes = request.axes;
    data.glb = model.glb;
    data.model = &model;
    data.frames = &frames;
    data.trace = runToText(scene, request.libraryPath);
    data.vehicleName = vehicleName;
    const report::Ride ride = report::readRide(data.trace, "the preview's trace");
    for (const report::RideVehicle& vehicle : ride.vehicles) {
        if (vehicle.name != vehicleName) continue;
        data.plotsHtml = report::vehicleSection(ride, vehicle);
        for (const report::RideComponent& c : vehicle.components) {
            // The first value is the state at creation, before any render.
            std::vector<double> values;
            for (std::size_t k = 1; k < c.values.size(); ++k) values.push_back(c.values[k].second);
            data.components.push_back({std::string(c.entry->title), std::string(c.entry->key),
                                       c.frame, unitOf(*c.entry), std::move(values)});
        }
    }

    std::error_code error;
    std::filesystem::create_directories(request.outDir, error);
    if (error)
        throw std::runtime_error("cannot create the output folder " + request.outDir + ": " +
                                 error.message());
    const std::string path = (std::filesystem::path(request.outDir) / "preview.html").string();
    std::ofstream out(path, std::ios::binary);
    out << preview::pageWith(previewDataJson(data));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
    if (!request.tracePath.empty()) {
        std::ofstream trace(request.tracePath, std::ios::binary);
        trace << data.trace;
        trace.close();
        if (!trace) throw std::runtime_error("cannot write " + request.tracePath);
    }
    return path;
}

}  // namespace sim
