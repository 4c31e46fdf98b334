#pragma once
// The data the preview page plays, written when the page is made: the model's own files as they
// are, which node each frame of the ride is, how frame axes lie in the nodes, what each render of
// the vehicle asked of the host and the components' values after it. One JSON object,
// "format": 2.

#include <optional>
#include <string>

#include "sim/formats/gltf_reader.h"
#include "sim/formats/model_frames.h"
#include "sim/preview/axes_mapping.h"
#include "sim/report/ride_model.h"

namespace sim {

inline constexpr int pageDataFormat = 2;

struct PageData {
    std::string title;    // the model's file name
    std::string vehicle;  // its kind
    AxesMapping axes;
    const ModelFiles* files = nullptr;    // the page hands each uri its bytes
    const ModelFrames* frames = nullptr;  // frame i of the ride is node frameNodes[i]
    const report::RideVehicle* ride = nullptr;
    // Served by preview --watch: the number of the model's version shown, which the page asks the
    // server about; absent in a written page.
    std::optional<int> watchVersion;
};

std::string pageDataJson(const PageData& data);

}  // namespace sim
