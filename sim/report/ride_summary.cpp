#include <cstdio>
#include <cstring>

#include "sim/report/report.h"
#include "sim/report/ride_metrics.h"

namespace sim::report {

std::string rideSummary(const Ride& ride) {
    std::string text = "Ride of " + std::to_string(ride.ticks) + " ticks in host build " +
                       std::to_string(ride.version) + "; sites patched: " + sitesText(ride) +
                       "; restored after unload: " + (ride.restored ? "yes" : "NO") +
                       "; log: " + logText(ride) + "\n";
    for (const RideVehicle& vehicle : ride.vehicles) {
        text += "\n" + vehicle.name + " (" + lifeOf(vehicle) + ")\n";
        if (vehicle.components.empty()) text += "  no components\n";
        for (const RideComponent& component : vehicle.components) {
            char head[160];
            std::snprintf(head, sizeof head, "  %-20s %-18s ", heading(component).c_str(),
                          vehicle.frames[static_cast<std::size_t>(component.frame)].name.c_str());
            text += head + whatItDid(vehicle, component) + "\n";
            // Under what it did, which child fills each slot.
            const std::string slots = slotsText(vehicle, component);
            if (!slots.empty()) text += std::string(std::strlen(head), ' ') + slots + "\n";
        }
    }
    return text;
}

}  // namespace sim::report
