#include "sim/formats/vehicle_kind.h"

#include <vector>

#include "host/host_interface.h"
#include "sim/formats/message_words.h"

namespace sim {

namespace {

constexpr VehicleKindInfo kinds[] = {
    {VehicleKind::motorbike, "motorbike", host::motorbikeClass, 6, 522, 130.0f},
    {VehicleKind::bicycle, "bicycle", host::bicycleClass, 0, 509, 25.0f},
    {VehicleKind::car, "car", host::firstCarClass, 5, 596, 120.0f},
};

}  // namespace

std::span<const VehicleKindInfo> vehicleKinds() { return kinds; }

const VehicleKindInfo& vehicleKindInfo(VehicleKind kind) {
    for (const VehicleKindInfo& entry : kinds) {
        if (entry.kind == kind) return entry;
    }
    return kinds[0];
}

std::optional<VehicleKind> vehicleKindNamed(std::string_view name) {
    for (const VehicleKindInfo& entry : kinds) {
        if (name == entry.name) return entry.kind;
    }
    return std::nullopt;
}

const char* vehicleKindName(VehicleKind kind) { return vehicleKindInfo(kind).name; }

int defaultGears(VehicleKind kind) { return vehicleKindInfo(kind).defaultGears; }

std::string vehicleKindNames() {
    std::vector<std::string> names;
    for (const VehicleKindInfo& entry : kinds) names.push_back(entry.name);
    return listed(names);
}

std::string defaultGearsText() {
    std::string text;
    for (const VehicleKindInfo& entry : kinds) {
        if (!text.empty()) text += ", ";
        text += std::to_string(entry.defaultGears) + " for a " + entry.name;
    }
    return text;
}

}  // namespace sim
