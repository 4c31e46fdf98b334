#pragma once
// The data the preview page plays, written when the page is made: the model's own files as they
// are, which node each frame of the ride is, how frame axes lie in the nodes, what each render of
// the vehicle asked of the host with its gear and brakes, the components' values after it, and what
// the checker warns of. One JSON object, "format": 2.

#include <optional>
#include <string>
#include <vector>

#include "sim/formats/gltf_reader.h"
#include "sim/formats/model_frames.h"
#include "sim/preview/axes_mapping.h"
#include "sim/report/ride_model.h"

namespace sim {

inline constexpr int pageDataFormat = 2;

// A checker's warning as the page lists it: the frame it concerns (an index into the ride's frames,
// or -1) and its text as the checker words it.
struct PageWarning {
    int frame = -1;
    std::string text;
};

struct PageData {
    std::string title;    // the model's file name
    std::string vehicle;  // its kind
    AxesMapping axes;
    const ModelFiles* files = nullptr;    // the page hands each uri its bytes
    const ModelFrames* frames = nullptr;  // frame i of the ride is node frameNodes[i]
    const report::RideVehicle* ride = nullptr;
    std::vector<PageWarning> warnings;
    // Served by preview --watch: the number of the model's version shown, which the page asks the
    // server about; absent in a written page.
    std::optional<int> watchVersion;
};

std::string pageDataJson(const PageData& data);

}  // namespace sim
