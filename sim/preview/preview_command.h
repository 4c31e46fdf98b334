#pragma once
// vorlix-sim preview: an author's model on the built-in ride of its kind of vehicle, run with the
// real library, as one self-contained page that plays it in 3D beside the ride's plots.

#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim/formats/vehicle_kind.h"
#include "sim/preview/axes_mapping.h"

namespace sim {

struct PreviewRequest {
    std::string modelPath;
    VehicleKind kind = VehicleKind::motorbike;
    std::optional<int> gears;  // the kind's default when empty
    AxesMapping axes = zUpAxes;
    std::string outDir;
    std::string tracePath;  // when set, the ride's trace is written there too
    std::string libraryPath;
    // Called with each of the checker's warnings, worded as check words them, before the ride.
    std::function<void(const std::string&)> warn;
};

// What the page shows of one ride of the model.
struct PreviewRide {
    std::string plotsMarkup;
    std::string dataJson;
    std::vector<std::filesystem::path> files;  // the model file and every file it refers to
};

// Checks the frame names, runs the ride (writing its trace when asked) and makes the page's parts;
// the page data carries watchVersion when given. Throws ModelError for a bad model.
PreviewRide previewRide(const PreviewRequest& request, std::optional<int> watchVersion = {});

// Checks the model's frame names, then writes outDir/preview.html, whose top lists the checker's
// warnings, and returns its path. Throws ModelError for a bad model.
std::string writePreview(const PreviewRequest& request);

}  // namespace sim
