#pragma once
// vorlix-sim check: every model of a scene, frame by frame, as the library will read it.

#include <optional>
#include <string>
#include <vector>

#include "hostsim/sim_model.h"
#include "sim/check/frame_warnings.h"
#include "sim/formats/scene.h"

namespace sim::check {

struct FrameReport {
    std::string name;
    std::string namePath;   // motorbike/body/handlebar/vx_fbrake_az-30
    std::string scenePath;  // vehicles[0].model.children[0].children[1].children[0], or nodes[12]
    FrameRecord record;
    std::vector<Warning> warnings;
    // Per component of record.components: the frame whose parameters and children the
    // component uses, when it is another one.
    std::vector<std::optional<std::size_t>> sharesWith;
};

struct ModelReport {
    std::vector<std::size_t> vehicles;  // indexes into the scene; the first one's model is shown
    std::optional<int> highestGear;
    std::vector<FrameReport> frames;  // frames with something to say, in walk order
    std::size_t warningCount = 0;
};

// modelPath: where the root frame stands in the scene, for example vehicles[0].model.
ModelReport checkModel(const hostsim::FrameShape& root, const std::string& modelPath,
                       std::optional<int> highestGear);

// places and scales: where each frame stands in its file, for example nodes[12], and its own
// scale there, in walk order (depth first, root first).
ModelReport checkModel(const hostsim::FrameShape& root, const std::vector<std::string>& places,
                       const std::vector<NodeScale>& scales, std::optional<int> highestGear);

// One report per distinct model; vehicles with identical models share one.
std::vector<ModelReport> checkScene(const Scene& scene);

// A warning as check prints it, after "warning: ": "bike/vx_cl (nodes[2]): clutch lever: ...".
std::string warningText(const FrameReport& frame, const Warning& warning);

// The text printed by vorlix-sim check.
std::string formatCheck(const Scene& scene, const std::vector<ModelReport>& models);
// The same for models under headings of their own, one per model.
std::string formatReports(const std::vector<std::string>& headings,
                          const std::vector<ModelReport>& models);

}  // namespace sim::check
