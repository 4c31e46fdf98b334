#pragma once
// The kinds of vehicle a model file can be for, as --vehicle names them, with the gears a model of
// each kind shows when its author does not say.

#include <optional>
#include <string_view>

namespace sim {

enum class VehicleKind { motorbike, bicycle, car };

std::optional<VehicleKind> vehicleKindNamed(std::string_view name);
const char* vehicleKindName(VehicleKind kind);

// The forward gears a model of this kind is expected to have when its author does not say.
int defaultGears(VehicleKind kind);
inline constexpr int maxGears = 20;

}  // namespace sim
