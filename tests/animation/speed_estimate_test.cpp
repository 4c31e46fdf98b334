// Speed estimate: the form chosen by the vehicle class, and its exact values.
#include <gtest/gtest.h>

#include <cstdint>

#include "animation/speed_estimate.h"
#include "hostsim/host_image.h"
#include "hostsim/vehicle_pool.h"

namespace {

struct SpeedCase {
    std::int32_t vehicleClass;
    float wheels[4];
    float bikeWheels[2];
    float move[3];
    float scaleA, scaleB;
    double expected;
};

class SpeedEstimate : public testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(2);
        vehicle = hostsim::vehicleInSlot(1);
        vehicle->modelIndex = modelIndex;
    }
    void TearDown() override {
        hostsim::setWheelScales(modelIndex, 1.0f, 1.0f);
        hostsim::releaseVehiclePool();
    }

    double estimate(const SpeedCase& c) {
        vehicle->vehicleSubclass = c.vehicleClass;
        for (int i = 0; i < 4; ++i) vehicle->wheelSpeed[i] = c.wheels[i];
        for (int i = 0; i < 2; ++i) vehicle->bikeWheelSpeed[i] = c.bikeWheels[i];
        for (int i = 0; i < 3; ++i) vehicle->moveSpeed[i] = c.move[i];
        hostsim::setWheelScales(modelIndex, c.scaleA, c.scaleB);
        return estimateSpeed(reinterpret_cast<CVehicle*>(vehicle));
    }

    static constexpr std::uint16_t modelIndex = 0xBEEF;
    hostsim::SimVehicle* vehicle = nullptr;
};

TEST_F(SpeedEstimate, WorkedValues) {
    const SpeedCase cases[] = {
        // Move-speed form: the vector's length per step, 50 steps a second, times 3.6.
        {3, {}, {}, {1.0f, 0.0f, 0.0f}, 1.0f, 1.0f, 179.99999523162842},
        {3, {}, {}, {0.0f, 0.5f, 0.0f}, 1.0f, 1.0f, 89.99999761581421},
        {3, {}, {}, {3.0f, 0.0f, -4.0f}, 1.0f, 1.0f, 899.9999761581421},
        {3, {}, {}, {-1.0f, 0.0f, 0.0f}, 1.0f, 1.0f, 179.99999523162842},  // never negative
        // Two-wheel form.
        {9, {}, {-1.0f, -1.0f}, {}, 1.0f, 1.0f, 75.91836586935928},
        {10, {}, {-1.0f, -1.0f}, {}, 1.0f, 1.0f, 75.91836586935928},
        {9, {}, {1.0f, 1.0f}, {}, 1.0f, 1.0f, -75.91836586935928},
        {9, {}, {-1.0f, 0.0f}, {}, 2.0f, 0.0f, 75.91836586935928},  // b0 takes scale A
        {9, {}, {0.0f, -2.0f}, {}, 0.0f, 0.5f, 37.95918293467964},  // b1 takes scale B
        // Four-wheel form: only w1 and w3 are scaled.
        {0, {0.0f, -1.0f, 0.0f, -1.0f}, {}, {}, 1.0f, 1.0f, 37.95918293467964},
        {1, {0.0f, -1.0f, 0.0f, -1.0f}, {}, {}, 1.0f, 1.0f, 37.95918293467964},
        {2, {0.0f, -1.0f, 0.0f, -1.0f}, {}, {}, 1.0f, 1.0f, 37.95918293467964},
        {0, {-1.0f, 0.0f, -1.0f, 0.0f}, {}, {}, 3.0f, 5.0f, 37.95918293467964},
        {0, {1.0f, 1.0f, 1.0f, 1.0f}, {}, {}, 1.0f, 1.0f, -75.91836586935928},
        {0, {0.0f, -1.0f, 0.0f, 0.0f}, {}, {}, 2.0f, 0.0f, 37.95918293467964},  // w1 takes scale A
        {0, {0.0f, 0.0f, 0.0f, -1.0f}, {}, {}, 0.0f, 2.0f, 37.95918293467964},  // w3 takes scale B
        // The wheel terms are summed in single precision: 2^24 + 1 rounds to 2^24, and the
        // product of w3 and its scale is rounded before the sum.
        {0, {16777216.0f, 0.0f, 1.0f, 0.0f}, {}, {}, 1.0f, 1.0f, -318424705.6393171},
        {0, {0.0f, 0.0f, 0.0f, 1.00000012f}, {}, {}, 1.0f, 1.00000012f, -18.979595992427047},
    };
    for (const SpeedCase& c : cases) {
        EXPECT_EQ(estimate(c), c.expected)
            << "class " << c.vehicleClass << " expected " << c.expected;
    }
}

TEST_F(SpeedEstimate, ClassSelectsTheForm) {
    // Each form would give a different value here: four wheels 37.9..., two wheels 75.9..., move
    // speed 179.9...
    const float wheels[4] = {0.0f, -1.0f, 0.0f, -1.0f};
    const float bikeWheels[2] = {-1.0f, -1.0f};
    const float move[3] = {1.0f, 0.0f, 0.0f};
    const struct {
        std::int32_t vehicleClass;
        double expected;
    } cases[] = {
        {0, 37.95918293467964},   {1, 37.95918293467964},    {2, 37.95918293467964},
        {9, 75.91836586935928},   {10, 75.91836586935928},   {3, 179.99999523162842},
        {4, 179.99999523162842},  {5, 179.99999523162842},   {6, 179.99999523162842},
        {7, 179.99999523162842},  {8, 179.99999523162842},   {11, 179.99999523162842},
        {-1, 179.99999523162842}, {256, 179.99999523162842}, {-2147483647 - 1, 179.99999523162842},
    };
    for (const auto& c : cases) {
        SpeedCase speed{c.vehicleClass, {}, {}, {}, 1.0f, 1.0f, c.expected};
        std::copy(wheels, wheels + 4, speed.wheels);
        std::copy(bikeWheels, bikeWheels + 2, speed.bikeWheels);
        std::copy(move, move + 3, speed.move);
        EXPECT_EQ(estimate(speed), c.expected) << "class " << c.vehicleClass;
    }
}

TEST_F(SpeedEstimate, AtRestEveryClassGivesZero) {
    for (std::int32_t vehicleClass : {0, 1, 2, 3, 8, 9, 10, 11}) {
        EXPECT_EQ(estimate({vehicleClass, {}, {}, {}, 1.0f, 1.0f, 0.0}), 0.0) << vehicleClass;
    }
}

TEST_F(SpeedEstimate, WheelScalesComeFromTheVehiclesModel) {
    // Another model's scales must not matter; this model's do.
    hostsim::setWheelScales(0, 100.0f, 100.0f);
    EXPECT_EQ(estimate({0, {0.0f, -1.0f, 0.0f, -1.0f}, {}, {}, 2.0f, 2.0f, 0.0}),
              75.91836586935928);
    EXPECT_EQ(estimate({9, {}, {-0.5f, -0.5f}, {}, 2.0f, 2.0f, 0.0}), 75.91836586935928);
    hostsim::setWheelScales(0, 1.0f, 1.0f);
}

}  // namespace
