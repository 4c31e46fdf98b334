#pragma once
// vorlix-sim check on an author's glTF model: its scene's frames, as the library will read their
// names, with each frame's place in the file (nodes[12]).

#include <string>

#include "sim/check/check_scene.h"
#include "sim/formats/gltf_reader.h"
#include "sim/formats/model_frames.h"

namespace sim::check {

struct ModelFileCheck {
    std::string text;  // as for a scene: the model's frames, then the totals
    std::size_t warningCount = 0;
    std::string modelName;  // its root frame's
    std::string kind;
    int gears = 0;
    ModelReport report;
};

// The model's frames, each placed in its file; report.frames[i].scenePath is places[i'] of the
// frame i' it reports on.
struct ModelFramesCheck {
    std::vector<std::string> places;  // per frame of frames.frameNodes
    ModelReport report;
};
ModelFramesCheck checkModelFrames(const GltfModel& model, const ModelFrames& frames, int gears);

// kind: the vehicle the model is for, as the author named it; gears: the highest gear it shows.
// Throws ModelError for a file that cannot be read.
ModelFileCheck checkModelFile(const std::string& path, const std::string& kind, int gears);

}  // namespace sim::check
