#include "sim/report/ride_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim::report {

std::string formatNumber(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string degrees(double value) {
    return formatNumber("%.1f", std::fabs(value) < 0.05 ? 0.0 : value) + "\u00B0";
}

std::string readingText(double reading) {
    return reading < 0 ? "------" : formatNumber("%06.0f", reading);
}

std::string heading(const RideComponent& component) {
    std::string title(component.entry->title);
    if (!title.empty() && title[0] >= 'a' && title[0] <= 'z')
        title[0] = static_cast<char>(title[0] - 'a' + 'A');
    return title;
}

std::pair<double, double> valueRange(const Samples& samples) {
    double low = 0, high = 0;
    for (const auto& [tick, value] : samples) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    return {low, high};
}

std::string rowName(const RideVehicle& vehicle, const RideComponent& component, double row) {
    if (row < 0) return row == -1 ? "none" : "several";
    if (component.entry->children == ChildFrames::gearDisplays) {
        return row == 0 ? "N" : std::to_string(static_cast<int>(row));
    }
    const int frame = component.rows[static_cast<std::size_t>(row)];
    return vehicle.frames[static_cast<std::size_t>(frame)].name;
}

namespace {

std::string leverText(const RideComponent& component) {
    const auto [low, high] = valueRange(component.values);
    int strokes = 0;
    for (std::size_t i = 1; i < component.values.size(); ++i) {
        strokes += component.values[i - 1].second == 0 && component.values[i].second != 0;
    }
    const std::string travel = low < 0 && high > 0
                                   ? "swung between " + degrees(low) + " and " + degrees(high)
                                   : "reached " + degrees(low < 0 ? low : high);
    return travel + ", " + std::to_string(strokes) + (strokes == 1 ? " stroke" : " strokes");
}

std::string needleText(const RideComponent& component) {
    const auto [low, high] = valueRange(component.values);
    return "max " + degrees(high) + ", min " + degrees(low) + ", at the end " +
           degrees(component.values.back().second);
}

std::string flipBookText(const RideVehicle& vehicle, const RideComponent& component) {
    if (component.entry->children != ChildFrames::gearDisplays) {
        return std::to_string(component.steps) + " steps over " +
               std::to_string(component.rows.size()) + " link sets";
    }
    std::string shownRows;
    double last = -3;
    for (const auto& [tick, row] : component.values) {
        if (row == last) continue;
        last = row;
        if (row == -1 && shownRows.empty()) continue;  // nothing shown yet
        shownRows += (shownRows.empty() ? "" : " ") + rowName(vehicle, component, row);
    }
    return "showed " + (shownRows.empty() ? std::string("nothing") : shownRows);
}

std::string counterText(const RideComponent& component) {
    double start = -1;
    for (const auto& [tick, reading] : component.values) {
        if (reading != 0) {
            start = reading;
            break;
        }
    }
    if (start < 0) return "did not turn";
    return readingText(start) + " at its first turn, " +
           readingText(component.values.back().second) + " at the end (" +
           std::to_string(component.steps) + " changes)";
}

}  // namespace

std::string whatItDid(const RideVehicle& vehicle, const RideComponent& component) {
    switch (component.entry->motion) {
        case Motion::lever:
            return leverText(component);
        case Motion::needle:
            return needleText(component);
        case Motion::flipBook:
            return flipBookText(vehicle, component);
        case Motion::counter:
            return counterText(component);
    }
    return "";
}

std::string lifeOf(const RideVehicle& vehicle) {
    std::string sites;
    for (const auto& [site, count] : vehicle.rendersBySite) {
        sites +=
            (sites.empty() ? "" : ", ") + std::to_string(count) + " through the " + site + " site";
    }
    return "class " + std::to_string(vehicle.vehicleClass) + ", slot " +
           std::to_string(vehicle.slot) + ", ticks " + std::to_string(vehicle.created) + " to " +
           std::to_string(vehicle.destroyed) + ", " + std::to_string(vehicle.renders) + " renders" +
           (sites.empty() ? "" : " (" + sites + ")");
}

std::string sitesText(const Ride& ride) {
    std::string sites;
    for (std::uint32_t site : ride.patchedSites) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%06X", static_cast<unsigned>(site));
        sites += (sites.empty() ? "" : " ") + std::string(hex);
    }
    return sites.empty() ? "none" : sites;
}

std::string logText(const Ride& ride) {
    std::string log;
    for (const std::string& line : ride.log) log += (log.empty() ? "\"" : ", \"") + line + "\"";
    return log.empty() ? "(empty)" : log;
}

}  // namespace sim::report
