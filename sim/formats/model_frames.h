#pragma once
// The frame tree that a model's node hierarchy gives the host: one frame per node of the scene
// shown, a node's mesh as its one attached object, and a root frame of its own for a scene with
// several root nodes.

#include <string>
#include <vector>

#include "hostsim/sim_model.h"
#include "sim/formats/gltf_reader.h"

namespace sim {

// The frame walks of the host, the library and the checker go one call deeper per level.
inline constexpr int maxModelDepth = 1000;

struct ModelFrames {
    hostsim::FrameShape root;
    // Per frame in depth-first pre-order, root first: its node, or -1 for the root frame made for
    // several root nodes.
    std::vector<int> frameNodes;
};

// Throws ModelError for children out of range, a node that is its own ancestor or has two
// parents, a hierarchy deeper than maxModelDepth, and names the host cannot carry.
// rootName: the name of a root frame made for several root nodes.
ModelFrames framesOf(const GltfModel& model, const std::string& fileName,
                     const std::string& rootName);

// Where a frame stands in the file, for messages: "nodes[12]", or "scenes[0]" for a made root.
std::string framePlace(const GltfModel& model, int node);

}  // namespace sim
