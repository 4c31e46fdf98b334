#pragma once
// Turns a scene and its trace into a short text summary and a self-contained HTML report with
// plots over time of what every component did.

#include <string>

#include "sim/formats/scene.h"

namespace sim {

struct Report {
    std::string summary;  // plain text, a few lines per vehicle
    std::string html;
};

// Throws std::runtime_error when the trace does not belong to the scene or cannot be read.
Report buildReport(const Scene& scene, const std::string& traceText);

}  // namespace sim
