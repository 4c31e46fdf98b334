// The built-in rides: each kind with its own class and host fields, every gear up and down, both
// brakes, a roll backwards, and a travel counter that grows as the game's does.
#include "sim/preview/standard_ride.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sim {
namespace {

struct Replayed {
    std::vector<int> gearChanges;  // each gear as it is reached
    float slowest = 0, fastest = 0;
    float travel = 0;
    double metres = 0;  // ridden, from the speed of each tick
    bool frontBrake = false, rearBrake = false, bothBrakes = false, throttle = false;
    bool wrongFields = false;  // a field the kind's class does not read
};

Replayed replay(const Scene& scene, bool twoWheels, bool ownTravel) {
    Replayed out;
    int gear = -1;
    float speed = 0;
    for (const TimelineEntry& e : scene.timeline) {
        const VehicleFields& f = e.fields;
        if (f.currentGear && *f.currentGear != gear)
            out.gearChanges.push_back(gear = *f.currentGear);
        const auto& wheels = twoWheels ? f.bikeWheelSpeed : std::nullopt;
        const auto& four = twoWheels ? std::nullopt : f.wheelSpeed;
        const float wheel = wheels ? (*wheels)[0] : four ? (*four)[0] : 0;
        out.slowest = std::min(out.slowest, -wheel / 2.45f * 186.0f);
        out.fastest = std::max(out.fastest, -wheel / 2.45f * 186.0f);
        if (wheels || four) speed = -wheel / 2.45f * 186.0f;
        out.metres += std::fabs(speed) / 3.6 / 50;  // the ride has one entry a tick
        const auto& travel = ownTravel ? f.bikeTravelCounter : f.travelCounter;
        if (travel) out.travel = *travel;
        out.wrongFields |= (twoWheels ? f.wheelSpeed.has_value() : f.bikeWheelSpeed.has_value()) ||
                           f.moveSpeed.has_value() ||
                           (ownTravel ? f.travelCounter : f.bikeTravelCounter).has_value();
        if (f.vehicleFlags) out.frontBrake |= (*f.vehicleFlags & 0x20) != 0;
        if (f.vehicleFlags) out.throttle |= (*f.vehicleFlags & 0x10) != 0;
        if (f.rearBrakeInput) out.rearBrake |= *f.rearBrakeInput != 0;
        out.bothBrakes |= f.vehicleFlags && (*f.vehicleFlags & 0x20) && f.rearBrakeInput &&
                          *f.rearBrakeInput != 0;
    }
    return out;
}

TEST(StandardRide, EachKindRidesThroughEveryGearAndBothBrakesAndBackwards) {
    const struct {
        VehicleKind kind;
        int gears;
        std::int32_t vehicleClass;
        bool twoWheels, ownTravel;
        std::vector<int> gearChanges;
    } cases[] = {
        {VehicleKind::motorbike, 6, 9, true, true, {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0}},
        {VehicleKind::bicycle, 0, 10, true, false, {0}},
        {VehicleKind::bicycle, 3, 10, true, false, {0, 1, 2, 3, 2, 1, 0}},
        {VehicleKind::car, 5, 0, false, false, {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0}},
    };
    const hostsim::FrameShape model{"m", 1, false, {}};
    for (const auto& c : cases) {
        const char* kind = vehicleKindName(c.kind);
        const Scene scene = standardRide(c.kind, c.gears, model, "rider");
        ASSERT_EQ(scene.vehicles.size(), 1u);
        EXPECT_EQ(scene.vehicles[0].vehicleClass, c.vehicleClass) << kind;
        EXPECT_EQ(scene.vehicles[0].name, "rider");
        const Replayed ride = replay(scene, c.twoWheels, c.ownTravel);
        EXPECT_EQ(ride.gearChanges, c.gearChanges) << kind << " " << c.gears;
        EXPECT_FALSE(ride.wrongFields) << kind;
        EXPECT_TRUE(ride.frontBrake && ride.rearBrake && ride.bothBrakes && ride.throttle) << kind;
        EXPECT_LT(ride.slowest, -1.0f) << kind << ": no roll backwards";
        EXPECT_GT(ride.fastest, 20.0f) << kind;
        // The odometer shows the distance ridden: 286 travel units a kilometre.
        EXPECT_NEAR(ride.travel / ride.metres, 0.286, 0.001) << kind;
        EXPECT_EQ(scene.timeline.back().tick + 1, scene.ticks) << kind;
    }
}

TEST(StandardRide, KnowsEachKindByName) {
    for (VehicleKind kind : {VehicleKind::motorbike, VehicleKind::bicycle, VehicleKind::car}) {
        EXPECT_EQ(vehicleKindNamed(vehicleKindName(kind)), kind);
    }
    EXPECT_EQ(vehicleKindNamed("truck"), std::nullopt);
}

}  // namespace
}  // namespace sim
