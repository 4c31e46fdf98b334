#pragma once
// A scene: what the substitute host does, tick by tick. Read from JSON and checked completely
// before anything runs, so that a bad scene never half-runs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hostsim/sim_model.h"
#include "sim/formats/bad_input.h"
#include "sim/formats/render_site.h"

namespace sim {

inline constexpr int sceneFormat = 1;

// A time step of 1.0 is 1/50 s of host time: a ride that renders once a tick at that step, as the
// built-in rides do, runs 50 ticks to the second.
inline constexpr int ticksPerSecond = 50;

struct SceneVehicle {
    std::string name;
    std::int32_t vehicleClass = 0;
    std::uint16_t modelIndex = 0;
    std::array<float, 2> wheelScales{1.0f, 1.0f};
    std::uint32_t spawnTick = 0;
    std::optional<std::uint32_t> despawnTick;  // never when empty
    std::optional<std::uint32_t> requestedSlot;
    std::uint32_t slot =
        0;  // the slot it gets: the requested one, else the lowest free at its spawn
    RenderSite renderSite = RenderSite::call;  // any of sceneSites
    hostsim::FrameShape model;

    bool aliveAt(std::uint32_t tick) const {
        return tick >= spawnTick && (!despawnTick || tick < *despawnTick);
    }
};

// Fields a timeline entry sets; the ones left empty keep their value.
struct VehicleFields {
    std::optional<std::array<float, 3>> moveSpeed;
    std::optional<std::array<float, 4>> wheelSpeed;
    std::optional<std::array<float, 2>> bikeWheelSpeed;
    std::optional<std::uint8_t> vehicleFlags;
    std::optional<float> driveInput;
    std::optional<float> rearBrakeInput;
    std::optional<std::uint8_t> currentGear;
    std::optional<float> travelCounter;
    std::optional<float> bikeTravelCounter;
};

struct TimelineEntry {
    std::uint32_t tick = 0;
    int vehicle = -1;  // index into the scene's vehicles; -1 for the host clock
    std::optional<float> timeStep;
    std::optional<std::uint32_t> timeCounter;
    VehicleFields fields;
};

struct Scene {
    std::int32_t hostVersion = 1001;
    std::uint32_t poolSize = 110;
    std::uint32_t ticks = 0;
    float timeStep = 1.0f;
    std::uint32_t counterStart = 0;
    std::uint32_t counterStep = 16;
    std::vector<SceneVehicle> vehicles;
    std::vector<TimelineEntry> timeline;  // sorted by tick, file order within a tick
};

// A bad scene: the message names the file, the line and column, the place in the document and
// the problem, for example
//   ride.json:14:18: vehicles[1].slot: slot 3 is taken by vehicle "bike" at tick 0
struct SceneError : BadInput {
    using BadInput::BadInput;
};

// fileName is used in messages only.
Scene readScene(std::string_view text, std::string_view fileName);
Scene readSceneFile(const std::string& path);

}  // namespace sim
