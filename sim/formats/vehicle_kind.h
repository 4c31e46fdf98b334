#pragma once
// The kinds of vehicle a model file can be for, as --vehicle names them: each with the host class
// and model index its built-in ride uses, the gears a model of the kind shows when its author does
// not say, and the ride's top speed. Help texts and the catalogue are made from this one table.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace sim {

enum class VehicleKind { motorbike, bicycle, car };

struct VehicleKindInfo {
    VehicleKind kind;
    const char* name;
    std::int32_t vehicleClass;  // two wheels' speeds for a bike, four for a car
    int defaultGears;           // the forward gears its models show when the author does not say
    std::uint16_t modelIndex;   // of the built-in ride's vehicle
    float topSpeed;             // km/h, of the built-in ride
};

// Every kind, the default (motorbike) first.
std::span<const VehicleKindInfo> vehicleKinds();
const VehicleKindInfo& vehicleKindInfo(VehicleKind kind);

std::optional<VehicleKind> vehicleKindNamed(std::string_view name);
const char* vehicleKindName(VehicleKind kind);
int defaultGears(VehicleKind kind);
inline constexpr int maxGears = 20;

// "motorbike, bicycle or car"
std::string vehicleKindNames();
// "6 for a motorbike, 0 for a bicycle, 5 for a car"
std::string defaultGearsText();

}  // namespace sim
