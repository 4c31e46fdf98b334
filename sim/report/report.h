#pragma once
// Turns a scene and its trace into a short text summary and a self-contained HTML report with
// plots over time of what every component did.

#include <string>
#include <vector>

#include "sim/formats/scene.h"

namespace sim {

// A component's state after each render of its vehicle, as the report follows it.
struct ComponentSeries {
    std::string title;  // "Front brake lever"
    std::string key;    // "vx_fbrake"
    int frame = 0;      // index of its frame in the trace
    // "degrees"; "link" or "gear": the index of the child shown (-1 none, -2 several);
    // "reading"
    std::string unit;
    std::vector<double> values;
};

struct VehicleReport {
    std::string name;
    std::string sectionHtml;  // the vehicle's part of the report: its plots, escaped
    std::vector<ComponentSeries> components;
};

struct Report {
    std::string summary;  // plain text, a few lines per vehicle
    std::string html;
    std::vector<VehicleReport> vehicles;  // the vehicles the trace creates, in scene order
};

// Throws std::runtime_error when the trace does not belong to the scene or cannot be read.
Report buildReport(const Scene& scene, const std::string& traceText);

}  // namespace sim
