#include "sim/formats/vehicle_kind.h"

namespace sim {

namespace {

struct KindName {
    VehicleKind kind;
    const char* name;
    int gears;
};

constexpr KindName kinds[] = {
    {VehicleKind::motorbike, "motorbike", 6},
    {VehicleKind::bicycle, "bicycle", 0},
    {VehicleKind::car, "car", 5},
};

const KindName& entryOf(VehicleKind kind) {
    for (const KindName& entry : kinds) {
        if (entry.kind == kind) return entry;
    }
    return kinds[0];
}

}  // namespace

std::optional<VehicleKind> vehicleKindNamed(std::string_view name) {
    for (const KindName& entry : kinds) {
        if (name == entry.name) return entry.kind;
    }
    return std::nullopt;
}

const char* vehicleKindName(VehicleKind kind) { return entryOf(kind).name; }

int defaultGears(VehicleKind kind) { return entryOf(kind).gears; }

}  // namespace sim
