#include "sim/check/check_model_file.h"

#include "sim/formats/json_writing.h"
#include "sim/formats/model_root_name.h"

namespace sim::check {

ModelFramesCheck checkModelFrames(const GltfModel& model, const ModelFrames& frames, int gears) {
    std::vector<std::string> places;
    std::vector<NodeScale> scales;
    places.reserve(frames.frameNodes.size());
    scales.reserve(frames.frameNodes.size());
    for (int node : frames.frameNodes) {
        places.push_back(framePlace(model, node));
        // A root frame made for several root nodes has no transform of its own.
        scales.push_back(node < 0 ? NodeScale{}
                                  : model.nodes[static_cast<std::size_t>(node)].scale);
    }
    ModelReport report = checkModel(frames.root, places, scales, gears);
    return {std::move(places), std::move(report)};
}

ModelFileCheck checkModelFile(const std::string& path, const std::string& kind, int gears) {
    const GltfModel model = readGltfFile(path, false);
    const ModelFrames frames = framesOf(model, path, modelRootName(path));
    std::vector<ModelReport> reports{checkModelFrames(model, frames, gears).report};
    const std::string heading = "model " + jsonQuoted(frames.root.name) + " of " + path + " (" +
                                kind + ", gears 0 to " + std::to_string(gears) + ")";
    return {formatReports({heading}, reports),
            reports.front().warningCount,
            frames.root.name,
            kind,
            gears,
            std::move(reports.front())};
}

}  // namespace sim::check
