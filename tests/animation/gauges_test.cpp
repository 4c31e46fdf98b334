// Speedometer and rev counter: configuration from the name, single-precision easing and clamps,
// driven through the update pass.

#include <gtest/gtest.h>

#include <cmath>

#include "test_vehicle.h"

namespace animtest {
namespace {

struct Drive {
    std::int32_t speed;
    float step;
    int gear = 0;
    bool flag = false;
};

// Configures on a first pass, then runs the drives and returns the needle's recorded turns.
std::vector<float> runNeedle(TestVehicle& v, const char* name, const std::vector<Drive>& drives) {
    v.pass(1);
    EXPECT_EQ(v.rotationCount(), 0u) << "the configuring pass moves nothing";
    std::uint32_t counter = 2;
    for (const Drive& d : drives) {
        v.setSpeed(d.speed);
        v.sim->currentGear = static_cast<std::uint8_t>(d.gear);
        v.sim->vehicleFlags = d.flag ? 0x10 : 0x00;
        v.pass(counter++, d.step);
    }
    return v.anglesOf(v[name], 'y');
}

std::vector<Drive> times(int count, Drive drive) {
    return std::vector<Drive>(static_cast<std::size_t>(count), drive);
}

std::vector<Drive> operator+(std::vector<Drive> a, const std::vector<Drive>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct NeedleCase {
    const char* label;
    const char* name;
    std::int32_t vehicleClass;
    std::vector<Drive> drives;
    std::vector<float> turns;
    float finalAngle;
};

TEST(Speedometer, EasesHalfTheWayPerPassScaledByTheTimeStep) {
    const NeedleCase cases[] = {
        {"step 1", "vx_sm_m200_r100", 3, times(3, {100, 1.0f}), {25.0f, 12.5f, 6.25f}, 43.75f},
        {"step 0.7",
         "vx_sm_m220_r270",
         3,
         times(4, {123, 0.7f}),
         {0x1.27def4p+5f, 0x1.80a1d6p+4f, 0x1.f40596p+3f, 0x1.4503a4p+3f},
         0x1.5b3916p+6f},
        {"clamped to full scale",
         "vx_sm_m220_r270",
         3,
         times(4, {250, 1.3f}),
         {0x1.5fp+7f, 0x1.eb6666p+5f, 0x1.57fadep+4f, 0x1.e19292p+2f},
         0x1.09f2c4p+8f},
        {"negative speed rests",
         "vx_sm_m220_r270",
         0,
         times(3, {100, 1.0f}) + times(2, {-40, 1.0f}),
         {0x1.eae8bap+5f, 0x1.eae8bap+4f, 0x1.eae8b8p+3f, -0x1.ad8ba4p+5f, -0x1.ad8ba4p+4f},
         0x1.ad8ba4p+4f},
        // A case where the order of the operations and their single precision show.
        {"step 0.9",
         "vx_sm_m220_r270",
         3,
         times(3, {13, 0.9f}),
         {0x1.9d8ab4p+2f, 0x1.c6e56p+1f, 0x1.f462b6p+0f},
         0x1.7f0b08p+3f},
        {"overshoots above 2",
         "vx_sm_m220_r270",
         3,
         times(4, {100, 2.5f}),
         {0x1.518p+8f, -0x1.518p+6f, 0x1.518p+4f, -0x1.518p+2f},
         0x1.0cf2p+8f},
    };
    for (const NeedleCase& c : cases) {
        TestVehicle v(frame(c.name), 0, c.vehicleClass);
        EXPECT_EQ(runNeedle(v, c.name, c.drives), c.turns) << c.label;
        EXPECT_EQ(v.record.speedometer.speedometerAngle, c.finalAngle) << c.label;
        EXPECT_EQ(v.totalAngle(v[c.name], 'y'), c.finalAngle) << c.label;
    }
}

TEST(Speedometer, SettlesAtTheClampedTarget) {
    const struct {
        std::int32_t vehicleClass;
        std::int32_t speed;
        float settle;
    } cases[] = {{3, 0, 0.0f}, {3, 500, 270.0f}, {0, -80, 0.0f}, {3, 110, 135.0f}};
    for (const auto& c : cases) {
        TestVehicle v(frame("vx_sm_m220_r270"), 0, c.vehicleClass);
        runNeedle(v, "vx_sm_m220_r270", times(5, {150, 1.0f}) + times(200, {c.speed, 1.0f}));
        EXPECT_NEAR(v.record.speedometer.speedometerAngle, c.settle, 1e-3f) << c.speed;
    }
}

TEST(Speedometer, ParametersComeFromTheName) {
    const struct {
        const char* name;
        std::int32_t maxSpeed;
        float maxAngle;
        float unitFactor;
    } cases[] = {
        {"vx_sm_m220_r270", 220, 270.0f, 160.9f}, {"vx_sm_r180", 100, 180.0f, 160.9f},
        {"vx_sm", 100, 100.0f, 160.9f},           {"vx_sm_m22_m5_r90", 5, 90.0f, 160.9f},
        {"vx_sm220_r270", 220, 270.0f, 160.9f},   {"vx_sm_kph_m220_r270", 220, 270.0f, 100.0f},
        {"vx_sm_m-5_r90", 100, 90.0f, 160.9f},
    };
    for (const auto& c : cases) {
        TestVehicle v(frame(c.name));
        v.pass(1);
        EXPECT_TRUE(v.record.speedometer.speedometerReady);
        EXPECT_EQ(v.record.speedometer.speedometerMaxSpeed, c.maxSpeed) << c.name;
        EXPECT_EQ(v.record.speedometer.speedometerMaxAngle, c.maxAngle) << c.name;
        EXPECT_EQ(v.record.speedometer.speedometerUnitFactor, c.unitFactor) << c.name;
    }
}

// The unit factor is stored but the needle follows the speed estimate unchanged.
TEST(Speedometer, KilometreMarkerDoesNotChangeTheNeedle) {
    const std::vector<Drive> drives = times(3, {90, 0.8f}) + times(2, {30, 1.2f});
    TestVehicle miles(frame("vx_sm_m220_r270"));
    const std::vector<float> inMiles = runNeedle(miles, "vx_sm_m220_r270", drives);
    TestVehicle kilometres(frame("vx_sm_kph_m220_r270"));
    EXPECT_EQ(runNeedle(kilometres, "vx_sm_kph_m220_r270", drives), inMiles);
}

TEST(Speedometer, ZeroFullScaleSpeedNeverTurnsByNotANumber) {
    TestVehicle v(frame("vx_sm_m0_r90"), 0, 0);
    const std::vector<float> turns =
        runNeedle(v, "vx_sm_m0_r90",
                  times(2, {0, 1.0f}) + times(3, {50, 1.0f}) + times(3, {0, 1.0f}) +
                      times(2, {-20, 1.0f}) + times(1, {50, 0.0f}));
    ASSERT_EQ(turns.size(), 11u);
    for (float turn : turns) EXPECT_TRUE(std::isfinite(turn));
    EXPECT_EQ(turns[0], 0.0f);
    EXPECT_EQ(turns[2], 45.0f);     // moving: clamped to full scale
    EXPECT_EQ(turns[5], -39.375f);  // standing: back towards rest
    EXPECT_TRUE(std::isfinite(v.record.speedometer.speedometerAngle));
}

TEST(Speedometer, FailedConversionConfiguresAgainOnTheNextVisit) {
    const std::string hugeAngle = "vx_sm_m50_r" + std::string(40, '9');
    const struct {
        std::string name;
        std::int32_t maxSpeedAfterFailure;
    } cases[] = {{"vx_sm_m99999999999_r90", 0}, {hugeAngle, 50}};
    for (const auto& c : cases) {
        TestVehicle v(frame("body", {frame(c.name), frame("vx_rpm_m80_270")}));
        v.setSpeed(40);
        v.sim->currentGear = 1;
        for (std::uint32_t counter = 1; counter < 5; ++counter) v.pass(counter);
        EXPECT_FALSE(v.record.speedometer.speedometerReady);
        EXPECT_EQ(v.record.speedometer.speedometerMaxSpeed, c.maxSpeedAfterFailure);
        EXPECT_EQ(v.rotationsOf(v[c.name]).size(), 0u);
        EXPECT_EQ(v.rotationsOf(v["vx_rpm_m80_270"]).size(), 3u);  // the rest of the vehicle runs
    }
}

TEST(Speedometer, FramesWithOneKeyShareTheAngle) {
    TestVehicle v(frame("dash", {frame("vx_sm_m200_r100"), frame("vx_sm_second")}));
    v.setSpeed(100);
    // The second frame moves in the configuring pass; each frame takes a step from the shared
    // angle.
    v.pass(1);
    v.pass(2);
    EXPECT_EQ(v.anglesOf(v["vx_sm_m200_r100"], 'y'), std::vector<float>{12.5f});
    EXPECT_EQ(v.anglesOf(v["vx_sm_second"], 'y'), (std::vector<float>{25.0f, 6.25f}));
    for (std::uint32_t counter = 3; counter < 60; ++counter) v.pass(counter);
    const float first = v.totalAngle(v["vx_sm_m200_r100"], 'y');
    const float second = v.totalAngle(v["vx_sm_second"], 'y');
    EXPECT_NEAR(v.record.speedometer.speedometerAngle, 50.0f, 1e-4f);
    EXPECT_NEAR(first + second, v.record.speedometer.speedometerAngle, 1e-4f);
    EXPECT_LT(first, 50.0f);
    EXPECT_LT(second, 50.0f);
}

TEST(RevCounter, EasesAQuarterOfTheWayTowardsTheEngineValue) {
    const NeedleCase cases[] = {
        {"gear 2, step 0.7",
         "vx_rpm_m80_270",
         3,
         times(4, {60, 0.7f, 2}),
         {0x1.15d47ap+3f, 0x1.ca6b64p+2f, 0x1.7a3234p+2f, 0x1.380302p+2f},
         0x1.aa1264p+4f},
        {"gear 0 with the flag, step 1.3",
         "vx_rpm_m80_270",
         3,
         times(4, {0, 1.3f, 0, true}),
         {0x1.63e9f8p+2f, 0x1.e07bdcp+1f, 0x1.44539ap+1f, 0x1.b5d746p+0f},
         0x1.b1e3c2p+3f},
        {"clamped to full scale",
         "vx_rpm_m80_270",
         3,
         times(3, {200, 1.0f, 1}),
         {0x1.0ep+6f, 0x1.95p+5f, 0x1.2fcp+5f},
         0x1.383p+7f},
        {"standing with the flag",
         "vx_rpm_m80_270",
         3,
         times(3, {0, 1.0f, 3, true}),
         {0x1.44p+1f, 0x1.e6p+0f, 0x1.6c8p+0f},
         0x1.76ap+2f},
        {"negative engine value rests",
         "vx_rpm_m80_270",
         0,
         times(3, {-30, 1.0f, 3, true}),
         {0.0f, 0.0f, 0.0f},
         0.0f},
        {"gear 3 with the flag, step 1.3",
         "vx_rpm_m80_270",
         3,
         times(3, {3, 1.3f, 3, true}),
         {0x1.da8d4cp+2f, 0x1.405294p+2f, 0x1.b06f7cp+1f},
         0x1.f98bd0p+3f},
        {"gear 4 with the flag, step 0.7",
         "vx_rpm_m80_270",
         3,
         times(4, {90, 0.7f, 4, true}),
         {0x1.d84f9cp+2f, 0x1.85a814p+2f, 0x1.417778p+2f, 0x1.0935c2p+2f},
         0x1.6a293ap+4f},
    };
    for (const NeedleCase& c : cases) {
        TestVehicle v(frame(c.name), 0, c.vehicleClass);
        EXPECT_EQ(runNeedle(v, c.name, c.drives), c.turns) << c.label;
        EXPECT_EQ(v.record.revCounter.revCounterAngle, c.finalAngle) << c.label;
    }
}

TEST(RevCounter, ParametersComeFromTheName) {
    const struct {
        const char* name;
        std::int32_t maxValue;
        float maxAngle;
    } cases[] = {
        {"vx_rpm_m80_270", 80, 270.0f}, {"vx_rpm_270_m80", 80, 270.0f},
        {"vx_rpm_m80", 80, 100.0f},     {"vx_rpm", 100, 100.0f},
        {"vx_rpm80", 100, 100.0f},      {"vx_rpm_m80_270_2", 80, 2.0f},
    };
    for (const auto& c : cases) {
        TestVehicle v(frame(c.name));
        v.pass(1);
        EXPECT_TRUE(v.record.revCounter.revCounterReady);
        EXPECT_EQ(v.record.revCounter.revCounterMaxValue, c.maxValue) << c.name;
        EXPECT_EQ(v.record.revCounter.revCounterMaxAngle, c.maxAngle) << c.name;
    }
}

TEST(RevCounter, ZeroFullScaleValueNeverTurnsByNotANumber) {
    TestVehicle v(frame("vx_rpm_m0_90"), 0, 0);
    const std::vector<float> turns =
        runNeedle(v, "vx_rpm_m0_90",
                  times(2, {0, 1.0f, 0}) + times(2, {50, 1.0f, 2}) + times(2, {0, 1.0f, 0}) +
                      times(2, {-50, 1.0f, 2}) + times(1, {0, 1.0f, 0, true}));
    ASSERT_EQ(turns.size(), 9u);
    for (float turn : turns) EXPECT_TRUE(std::isfinite(turn));
    EXPECT_EQ(turns[0], 0.0f);
    EXPECT_EQ(turns[2], 22.5f);
    EXPECT_TRUE(std::isfinite(v.record.revCounter.revCounterAngle));
}

TEST(RevCounter, FailedConversionConfiguresAgainOnTheNextVisit) {
    const std::string hugeAngle = "vx_rpm_m80_" + std::string(40, '9');
    const struct {
        std::string name;
        std::int32_t maxValueAfterFailure;
    } cases[] = {{"vx_rpm_m99999999999_90", 0}, {hugeAngle, 80}};
    for (const auto& c : cases) {
        TestVehicle v(frame("body", {frame(c.name), frame("vx_sm_m200_r100")}));
        v.setSpeed(40);
        for (std::uint32_t counter = 1; counter < 5; ++counter) v.pass(counter);
        EXPECT_FALSE(v.record.revCounter.revCounterReady);
        EXPECT_EQ(v.record.revCounter.revCounterMaxValue, c.maxValueAfterFailure);
        EXPECT_EQ(v.rotationsOf(v[c.name]).size(), 0u);
        EXPECT_EQ(v.rotationsOf(v["vx_sm_m200_r100"]).size(), 3u);
    }
}

TEST(RevCounter, FramesWithOneKeyShareTheAngle) {
    TestVehicle v(frame("dash", {frame("vx_rpm_m80_270"), frame("vx_rpm_b")}));
    v.sim->vehicleFlags = 0x10;
    v.pass(1);
    v.pass(2);
    // Standing with the flag: target 270/80 * 3 = 10.125.
    EXPECT_EQ(v.anglesOf(v["vx_rpm_b"], 'y'),
              (std::vector<float>{10.125f * 0.25f, (10.125f - 2.53125f - 1.8984375f) * 0.25f}));
    EXPECT_EQ(v.anglesOf(v["vx_rpm_m80_270"], 'y'),
              std::vector<float>{(10.125f - 2.53125f) * 0.25f});
}

}  // namespace
}  // namespace animtest
