#include "sim/report/ride_metrics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/check/child_slots.h"
#include "sim/formats/message_words.h"

namespace sim::report {

std::string formatNumber(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string degrees(double value) {
    return formatNumber("%.1f", std::fabs(value) < 0.05 ? 0.0 : value) + "\u00B0";
}

std::string readingText(double reading, std::size_t wheels) {
    const int width = static_cast<int>(std::min(wheels, odometerWheelCount));
    if (reading < 0) return std::string(static_cast<std::size_t>(width), '-');
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0*.0f", width, reading);
    return width == 0 ? "" : buffer;
}

std::string missingDigits(const RideComponent& component) {
    const std::size_t wheels = component.rows.size();
    if (wheels >= odometerWheelCount) return "";
    if (wheels == 0) return "no digit wheels, no digit is shown";
    return missingDigitsText(wheels, odometerWheelCount);
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
    const bool gearMeter = component.entry->children == ChildFrames::gearDisplays;
    if (row < 0) {
        const std::string rows = gearMeter ? "display" : "link set";
        return row == noRowShown ? "no " + rows + " shown" : "several " + rows + "s shown";
    }
    if (gearMeter) return row == 0 ? "N" : std::to_string(static_cast<int>(row));
    const int frame = component.rows[static_cast<std::size_t>(row)];
    return vehicle.frames[static_cast<std::size_t>(frame)].name;
}

std::string shownText(const RideVehicle& vehicle, const RideComponent& component, double row) {
    const std::string name = rowName(vehicle, component, row);
    const bool gear = component.entry->children == ChildFrames::gearDisplays && row > 0;
    return gear ? "gear " + name : name;
}

namespace {

// All of the component's children, as check reads them: an odometer's beyond its sixth too.
std::vector<check::ChildFrame> childFrames(const RideVehicle& vehicle,
                                           const RideComponent& component) {
    std::vector<check::ChildFrame> children;
    for (int child : vehicle.frames[static_cast<std::size_t>(component.frame)].children)
        children.push_back({vehicle.frames[static_cast<std::size_t>(child)].name});
    return children;
}

}  // namespace

std::vector<std::string> slotLines(const RideVehicle& vehicle, const RideComponent& component) {
    return check::slotLines(component.entry->component, childFrames(vehicle, component));
}

std::string slotsText(const RideVehicle& vehicle, const RideComponent& component) {
    return check::describeSlots(component.entry->component, childFrames(vehicle, component));
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

std::string linkSetsText(const RideComponent& component) {
    const std::size_t sets = component.rows.size();
    const std::string count = sets == 1 ? "1 link set" : std::to_string(sets) + " link sets";
    if (sets == 0) return "has no link sets";
    if (component.steps == 0) return "never switched, " + count;
    const std::string times =
        component.steps == 1 ? "once" : std::to_string(component.steps) + " times";
    return "switched " + times + " between " + count;
}

// The gears shown in turn; "several displays shown" before the first gear change reads as the
// state it starts from, other rows without one display in brackets.
std::string gearMeterText(const RideVehicle& vehicle, const RideComponent& component) {
    std::string start, shownRows;
    double last = -3;
    for (const auto& [tick, row] : component.values) {
        if (row == last) continue;
        last = row;
        if (shownRows.empty() && start.empty() && row < 0) {
            if (row == severalRowsShown) start = rowName(vehicle, component, row) + " at first";
            continue;
        }
        const std::string name = rowName(vehicle, component, row);
        shownRows += (shownRows.empty() ? "" : " ") + (row < 0 ? "(" + name + ")" : name);
    }
    if (shownRows.empty()) return start.empty() ? "showed nothing" : start;
    return start.empty() ? "showed " + shownRows : start + ", then " + shownRows;
}

std::string counterText(const RideComponent& component) {
    double start = -1;
    for (const auto& [tick, reading] : component.values) {
        if (reading != 0) {
            start = reading;
            break;
        }
    }
    const std::string missing = missingDigits(component);
    const std::string note = missing.empty() ? "" : "; " + missing;
    if (start < 0) return "did not turn" + note;
    const std::size_t wheels = component.rows.size();
    return readingText(start, wheels) + " at its first turn, " +
           readingText(component.values.back().second, wheels) + " at the end (" +
           std::to_string(component.steps) + (component.steps == 1 ? " change" : " changes") +
           note + ")";
}

}  // namespace

std::string whatItDid(const RideVehicle& vehicle, const RideComponent& component) {
    switch (component.entry->motion) {
        case Motion::lever:
            return leverText(component);
        case Motion::needle:
            return needleText(component);
        case Motion::flipBook:
            return component.entry->children == ChildFrames::gearDisplays
                       ? gearMeterText(vehicle, component)
                       : linkSetsText(component);
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
        sites += (sites.empty() ? "" : " ") + hexAddress(site);
    }
    return sites.empty() ? "none" : sites;
}

std::string logText(const Ride& ride) {
    std::string log;
    for (const std::string& line : ride.log) log += (log.empty() ? "\"" : ", \"") + line + "\"";
    return log.empty() ? "(empty)" : log;
}

}  // namespace sim::report
