#include "sim/preview/standard_ride.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "host/host_interface.h"

namespace sim {

namespace {

// Travel counter units per metre as the game counts them: the odometer's reading unit is 286 units
// a kilometre, so the odometer shows the distance actually ridden.
constexpr float travelPerMetre = 0.286f;

// A lever of 30 degrees takes 30 ticks out and 30 back; a gear change's clutch and gear lever
// strokes are over within this many ticks.
constexpr int shiftTicks = 60;

// What the rider does during one tick.
struct Controls {
    float speed = 0.0f;  // km/h, negative backwards
    int gear = 0;
    bool frontBrake = false;
    bool rearBrake = false;
    bool throttle = false;  // engine driven, or pedalling
};

class RidePlan {
  public:
    // Holds the controls for `ticks`, the speed going linearly to `speed`.
    void to(float speed, int ticks, Controls controls) {
        const float from = ticks_.empty() ? 0.0f : ticks_.back().speed;
        for (int t = 1; t <= ticks; ++t) {
            controls.speed =
                from + (speed - from) * static_cast<float>(t) / static_cast<float>(ticks);
            ticks_.push_back(controls);
        }
    }
    float speed() const { return ticks_.empty() ? 0.0f : ticks_.back().speed; }
    const std::vector<Controls>& ticks() const { return ticks_; }

  private:
    std::vector<Controls> ticks_;
};

std::vector<Controls> planRide(const VehicleKindInfo& info, int gears) {
    RidePlan plan;
    const float top = info.topSpeed;
    auto gearSpeed = [&](int gear) {
        return top * static_cast<float>(gear) / static_cast<float>(gears);
    };
    const int firstGear = gears > 0 ? 1 : 0;

    plan.to(0.0f, 30, {});
    // Into first gear standing still, then pull away and shift up through every gear.
    plan.to(0.0f, shiftTicks, {.gear = firstGear});
    if (gears == 0) plan.to(top, 4 * shiftTicks, {.throttle = true});
    for (int gear = 1; gear <= gears; ++gear)
        plan.to(gearSpeed(gear), shiftTicks, {.gear = gear, .throttle = true});
    const int topGear = std::max(gears, 0);
    plan.to(top, 8 * ticksPerSecond, {.gear = topGear, .throttle = true});

    // Each brake alone, held and let go, then down through the gears to a stop with both.
    plan.to(top * 0.8f, shiftTicks, {.gear = topGear, .frontBrake = true});
    plan.to(top * 0.8f, 40, {.gear = topGear});
    plan.to(top * 0.6f, shiftTicks, {.gear = topGear, .rearBrake = true});
    plan.to(top * 0.6f, 40, {.gear = topGear});
    for (int gear = gears - 1; gear >= 1; --gear) {
        plan.to(std::min(plan.speed(), gearSpeed(gear)), shiftTicks, {.gear = gear});
    }
    plan.to(0.0f, shiftTicks, {.gear = firstGear, .frontBrake = true, .rearBrake = true});
    plan.to(0.0f, 40, {.gear = firstGear, .frontBrake = true, .rearBrake = true});

    // Out of gear, brakes off, and a short roll backwards.
    plan.to(0.0f, shiftTicks, {});
    plan.to(-4.0f, 25, {});
    plan.to(-4.0f, 50, {});
    plan.to(0.0f, 25, {});
    plan.to(0.0f, 40, {});
    return plan.ticks();
}

// The wheel speed that the library's estimate turns into `kmh` with both wheel scales 1: the
// mean wheel speed / 2.45 * -186.
float wheelSpeedFor(float kmh) { return -kmh * 2.45f / 186.0f; }

struct HostState {
    float wheel = 0.0f;
    float travel = 0.0f;
    std::uint8_t flags = 0;
    float drive = 0.0f;
    float rearBrake = 0.0f;
    int gear = 0;
};

}  // namespace

Scene standardRide(VehicleKind kind, int gears, const hostsim::FrameShape& model,
                   const std::string& vehicleName) {
    const VehicleKindInfo& info = vehicleKindInfo(kind);
    const std::vector<Controls> ride = planRide(info, std::clamp(gears, 0, maxGears));

    Scene scene;
    scene.ticks = static_cast<std::uint32_t>(ride.size());
    SceneVehicle vehicle;
    vehicle.name = vehicleName;
    vehicle.vehicleClass = info.vehicleClass;
    vehicle.modelIndex = info.modelIndex;
    vehicle.model = model;
    scene.vehicles.push_back(std::move(vehicle));

    const bool twoWheels = host::hasTwoWheelSpeeds(info.vehicleClass);
    HostState last{};
    float travel = 0.0f;
    for (std::size_t tick = 0; tick < ride.size(); ++tick) {
        const Controls& c = ride[tick];
        travel += std::fabs(c.speed) / 3.6f / ticksPerSecond * travelPerMetre;
        HostState now;
        now.wheel = wheelSpeedFor(c.speed);
        now.travel = travel;
        now.flags = static_cast<std::uint8_t>((c.frontBrake ? host::frontBrakeFlag : 0) |
                                              (c.throttle ? host::throttleFlag : 0));
        now.drive = c.throttle ? 1.0f : 0.0f;
        now.rearBrake = c.rearBrake ? 1.0f : 0.0f;
        now.gear = c.gear;

        TimelineEntry entry;
        entry.tick = static_cast<std::uint32_t>(tick);
        entry.vehicle = 0;
        VehicleFields& f = entry.fields;
        const bool first = tick == 0;
        if (first || now.wheel != last.wheel) {
            if (twoWheels) {
                f.bikeWheelSpeed = std::array<float, 2>{now.wheel, now.wheel};
            } else {
                f.wheelSpeed = std::array<float, 4>{now.wheel, now.wheel, now.wheel, now.wheel};
            }
        }
        if (first || now.travel != last.travel) {
            (host::hasOwnTravelCounter(info.vehicleClass) ? f.bikeTravelCounter : f.travelCounter) =
                now.travel;
        }
        if (first || now.flags != last.flags) f.vehicleFlags = now.flags;
        if (first || now.drive != last.drive) f.driveInput = now.drive;
        if (first || now.rearBrake != last.rearBrake) f.rearBrakeInput = now.rearBrake;
        if (first || now.gear != last.gear) f.currentGear = static_cast<std::uint8_t>(now.gear);
        scene.timeline.push_back(std::move(entry));
        last = now;
    }
    return scene;
}

}  // namespace sim
