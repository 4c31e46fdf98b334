#pragma once
// The data the preview page plays: the model's own files, the trace of its ride,
// which node each frame of the trace is, how frame axes lie in the nodes, and the components'
// values after each render. One JSON object, "format": 1.

#include <string>
#include <vector>

#include "sim/formats/gltf_reader.h"
#include "sim/formats/model_frames.h"
#include "sim/preview/axes_mapping.h"

namespace sim {

inline constexpr int previewDataFormat = 1;

struct PreviewComponent {
    std::string title;           // "front brake"
    std::string key;             // "vx_fbrake"
    int frame = 0;               // its frame's index in the trace
    std::string unit;            // "degrees", "gear", "reading", "link"
    std::vector<double> values;  // after each render of the vehicle
};

struct PreviewData {
    std::string title;    // the model's file name
    std::string vehicle;  // its kind
    AxesMapping axes;
    const GltfModel* model = nullptr;  // read with its files
    const ModelFrames* frames = nullptr;
    std::string trace;  // JSON Lines, as written by the run
    std::string vehicleName;
    std::vector<PreviewComponent> components;
    std::string plotsHtml;  // escaped already
};

std::string previewDataJson(const PreviewData& data);

}  // namespace sim
