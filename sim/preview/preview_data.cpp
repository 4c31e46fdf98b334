#include "sim/preview/preview_data.h"

#include <nlohmann/json.hpp>
#include <sstream>

#include "host/host_interface.h"
#include "sim/formats/base64.h"

namespace sim {

std::string previewDataJson(const PreviewData& data) {
    using nlohmann::ordered_json;
    ordered_json out;
    out["format"] = previewDataFormat;
    out["title"] = data.title;
    out["vehicle"] = data.vehicle;
    out["axes"] = {{"name", data.axes.name},
                   {"description", data.axes.description},
                   {"x", data.axes.x},
                   {"y", data.axes.y},
                   {"z", data.axes.z}};
    out["model"] = {{"glb", base64(data.glb)}};

    ordered_json frames = ordered_json::array();
    const std::vector<int>& nodes = data.frames->frameNodes;
    // Frame i of the trace is the i-th frame of the pre-order walk, as frameNodes lists them.
    std::vector<const hostsim::FrameShape*> stack{&data.frames->root};
    for (std::size_t i = 0; !stack.empty(); ++i) {
        const hostsim::FrameShape* frame = stack.back();
        stack.pop_back();
        frames.push_back({{"name", frame->name}, {"node", nodes[i]}, {"objects", frame->objects}});
        for (auto child = frame->children.rbegin(); child != frame->children.rend(); ++child) {
            stack.push_back(&*child);
        }
    }
    out["frames"] = std::move(frames);

    ordered_json trace = ordered_json::array();
    std::istringstream lines(data.trace);
    for (std::string line; std::getline(lines, line);) trace.push_back(ordered_json::parse(line));
    out["trace"] = std::move(trace);
    // The page shows a frame's mesh while this bit of its first object's flags is set.
    out["renderFlag"] = host::renderFlag;
    out["vehicleName"] = data.vehicleName;

    ordered_json components = ordered_json::array();
    for (const PreviewComponent& c : data.components) {
        components.push_back({{"title", c.title},
                              {"key", c.key},
                              {"frame", c.frame},
                              {"unit", c.unit},
                              {"values", c.values}});
    }
    out["components"] = std::move(components);
    out["plotsHtml"] = data.plotsHtml;
    return out.dump();
}

}  // namespace sim
