// Brake levers, clutch lever and gear lever, driven through the update pass.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_vehicle.h"

namespace animtest {
namespace {

enum class Input { front, rear };

void setBraking(TestVehicle& v, Input input, bool active) {
    if (input == Input::front) {
        v.sim->vehicleFlags = active ? 0x20 : 0x00;
    } else {
        v.sim->rearBrakeInput = active ? 1.0f : 0.0f;
    }
}

BrakeLeverState& brakeOf(TestVehicle& v, Input input) {
    return input == Input::front ? v.record.frontBrake : v.record.rearBrake;
}

struct BrakeTravelCase {
    const char* name;
    Input input;
    char axis;
    std::int32_t maxAngle;
    std::uint32_t stepInterval;
    const char* expectedRuns;  // held for |max| + 4 steps, then released for |max| + 3
};

class BrakeTravel : public testing::TestWithParam<BrakeTravelCase> {};

// Travel to the maximum, the alternation there, the way back to rest and the stop at rest.
TEST_P(BrakeTravel, TravelsAlternatesAtTheMaximumAndReturnsToRest) {
    const BrakeTravelCase& c = GetParam();
    TestVehicle v(frame("body", {frame(c.name)}));
    SimFrame* lever = v[c.name];
    const std::uint32_t every = c.stepInterval + 1;  // each pass just passes the elapsed test
    std::uint32_t counter = every;

    v.pass(counter);  // reads the name; released, so nothing moves
    EXPECT_TRUE(brakeOf(v, c.input).parsed);
    EXPECT_EQ(brakeOf(v, c.input).maxAngle, c.maxAngle);
    EXPECT_EQ(brakeOf(v, c.input).stepInterval, c.stepInterval);

    const int travel = std::abs(c.maxAngle);
    setBraking(v, c.input, true);
    for (int i = 0; i < travel + 4; ++i) v.pass(counter += every);
    setBraking(v, c.input, false);
    for (int i = 0; i < travel + 3; ++i) v.pass(counter += every);

    EXPECT_EQ(runs(v.anglesOf(lever, c.axis)), c.expectedRuns);
    EXPECT_EQ(brakeOf(v, c.input).angle, 0);
    EXPECT_EQ(v.totalAngle(lever, c.axis), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Levers, BrakeTravel,
    testing::Values(BrakeTravelCase{"vx_fbrake_az-30", Input::front, 'z', -30, 6, "-30+1-1+1-1+30"},
                    BrakeTravelCase{"vx_rbrake_ax25", Input::rear, 'x', 25, 5, "+25-1+1-1+1-25"},
                    BrakeTravelCase{"vx_fbrake_az3", Input::front, 'z', 3, 0, "+3-1+1-1+1-3"},
                    BrakeTravelCase{"vx_rbrake_ax-7", Input::rear, 'x', -7, 1, "-7+1-1+1-1+7"},
                    BrakeTravelCase{"vx_fbrake_x_az4", Input::front, 'z', 4, 0, "+4-1+1-1+1-4"},
                    BrakeTravelCase{"vx_fbrake", Input::front, 'z', 0, 0, ""},
                    BrakeTravelCase{"vx_rbrake_ax0", Input::rear, 'x', 0, 0, ""}));

TEST(BrakeLever, StepsOnlyWhenMoreThanTheIntervalHasPassed) {
    TestVehicle v(frame("vx_fbrake_az-30"));
    SimFrame* lever = v["vx_fbrake_az-30"];
    v.sim->vehicleFlags = 0x20;
    // Interval 6: a step at 101 (the last step time starts at 0), then only when 7 have passed.
    EXPECT_EQ(stepPattern(v, lever, 'z', 100, 16), ".-......-......-");
    v.pass(115);  // the same pass time again
    EXPECT_EQ(v.anglesOf(lever, 'z').size(), 3u);
}

TEST(BrakeLever, RearBrakeStepsInTheVisitThatReadsItsNameFrontBrakeOnTheNext) {
    TestVehicle v(frame("body", {frame("vx_fbrake_az10"), frame("vx_rbrake_ax10")}));
    v.sim->vehicleFlags = 0x20;
    v.sim->rearBrakeInput = 0.5f;
    v.pass(10);
    EXPECT_EQ(v.anglesOf(v["vx_fbrake_az10"], 'z'), std::vector<float>{});
    EXPECT_EQ(v.anglesOf(v["vx_rbrake_ax10"], 'x'), std::vector<float>{1.0f});
    v.pass(13);
    EXPECT_EQ(v.anglesOf(v["vx_fbrake_az10"], 'z'), std::vector<float>{1.0f});
}

TEST(BrakeLever, RearInputIsActiveWhenNotZero) {
    const struct {
        float input;
        bool active;
    } cases[] = {{0.0f, false},
                 {-0.0f, false},
                 {std::numeric_limits<float>::quiet_NaN(), true},
                 {1e-30f, true},
                 {-0.5f, true}};
    for (const auto& c : cases) {
        TestVehicle v(frame("vx_rbrake_ax3"));
        v.sim->rearBrakeInput = c.input;
        v.pass(10);
        EXPECT_EQ(v.anglesOf(v["vx_rbrake_ax3"], 'x').size(), c.active ? 1u : 0u) << c.input;
    }
}

TEST(BrakeLever, ReleasedMidwayReturnsFromWhereItIs) {
    TestVehicle v(frame("vx_fbrake_az10"));
    SimFrame* lever = v["vx_fbrake_az10"];
    v.pass(10);
    v.sim->vehicleFlags = 0x20;
    std::uint32_t counter = 10;
    for (int i = 0; i < 4; ++i) v.pass(counter += 3);
    v.sim->vehicleFlags = 0x00;
    for (int i = 0; i < 8; ++i) v.pass(counter += 3);
    EXPECT_EQ(runs(v.anglesOf(lever, 'z')), "+4-4");
}

TEST(BrakeLever, FramesWithOneKeyShareTheFirstFramesMaximumAndStepOncePerPass) {
    TestVehicle v(frame("body", {frame("vx_fbrake_az20"), frame("vx_fbrake_az40")}));
    SimFrame* first = v["vx_fbrake_az20"];
    SimFrame* second = v["vx_fbrake_az40"];
    v.sim->vehicleFlags = 0x20;
    // The first frame reads the name; the second, later in the same pass, already steps.
    v.pass(10);
    EXPECT_EQ(v.record.frontBrake.maxAngle, 20);
    EXPECT_EQ(v.anglesOf(first, 'z').size(), 0u);
    EXPECT_EQ(v.anglesOf(second, 'z'), std::vector<float>{1.0f});
    // From then on the first frame takes every step, the second finds no time elapsed.
    std::size_t rotations = v.rotationCount();
    for (std::uint32_t counter = 11; counter < 200; ++counter) {
        v.pass(counter);
        EXPECT_LE(v.rotationCount() - rotations, 1u);
        rotations = v.rotationCount();
    }
    EXPECT_EQ(v.anglesOf(second, 'z').size(), 1u);
    EXPECT_EQ(runs(v.anglesOf(first, 'z')).substr(0, 7), "+19-1+1");
    EXPECT_EQ(v.totalAngle(first, 'z') + v.totalAngle(second, 'z'),
              static_cast<float>(v.record.frontBrake.angle));
}

TEST(BrakeLever, ParameterOutOfRangeLeavesTheLeverStillAndOtherComponentsRunning) {
    TestVehicle v(frame(
        "body", {frame("vx_fbrake_az-2147483649"), frame("vx_rbrake_ax99999999999_vx_cl_az2")}));
    v.sim->vehicleFlags = 0x20;
    v.sim->rearBrakeInput = 1.0f;
    for (std::uint32_t counter = 10; counter < 30; ++counter) v.pass(counter);
    for (const BrakeLeverState* lever : {&v.record.frontBrake, &v.record.rearBrake}) {
        EXPECT_TRUE(lever->parsed);
        EXPECT_EQ(lever->maxAngle, 0);
        EXPECT_EQ(lever->stepInterval, 0u);
        EXPECT_EQ(lever->angle, 0);
    }
    EXPECT_EQ(v.rotationsOf(v["vx_fbrake_az-2147483649"]).size(), 0u);
    // The clutch lever in the same name as the failed rear brake makes its first stroke.
    EXPECT_EQ(runs(v.anglesOf(v["vx_rbrake_ax99999999999_vx_cl_az2"], 'z')), "+2-2");
}

struct StrokeCase {
    const char* name;
    char axis;
    int startGear;
    std::vector<std::pair<std::uint32_t, int>> gearChanges;  // counter, gear
    int passes;                                              // counters 10, 11, ...
    std::string expectedPattern;
};

void runStroke(const StrokeCase& c) {
    TestVehicle v(frame("body", {frame(c.name)}));
    v.sim->currentGear = static_cast<std::uint8_t>(c.startGear);
    const std::string pattern =
        stepPattern(v, v[c.name], c.axis, 10, c.passes, [&](std::uint32_t counter) {
            for (const auto& [at, gear] : c.gearChanges) {
                if (at == counter) v.sim->currentGear = static_cast<std::uint8_t>(gear);
            }
        });
    EXPECT_EQ(pattern, c.expectedPattern) << c.name;
    const float angle = c.axis == 'z' ? v.record.clutchLever.angle : v.record.gearLever.angle;
    EXPECT_EQ(v.totalAngle(v[c.name], c.axis), angle) << c.name;
}

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Clutch: the first stroke comes with the first render; a phase change is a visit of its own that
// keeps the last step time; the gear is only looked at after a stroke.
TEST(ClutchLever, StrokesOnGearChanges) {
    const StrokeCase cases[] = {
        {"vx_cl_az2", 'z', 0, {}, 10, "..++.--..."},
        {"vx_cl_az-10", 'z', 0, {}, 46, ".." + repeat("-.", 10) + "." + repeat("+.", 10) + "..."},
        // The return to idle keeps the last step time: a waiting gear change starts at once.
        {"vx_cl_az-10",
         'z',
         1,
         {{20, 2}},
         47,
         ".." + repeat("-.", 10) + "." + repeat("+.", 10) + "." + "." + "-."},
        // A change during the stroke: a second stroke once the first has ended.
        {"vx_cl_az2", 'z', 1, {{13, 2}}, 16, "..++.--..++.--.."},
        // A change and back during the stroke: no second stroke.
        {"vx_cl_az2", 'z', 1, {{13, 2}, {14, 1}}, 16, "..++.--........."},
        {"vx_cl_az0", 'z', 1, {{13, 2}}, 16, "................"},
        {"vx_clamp", 'z', 1, {{13, 2}}, 16, "................"},
    };
    for (const StrokeCase& c : cases) runStroke(c);
}

// Gear lever: its phase changes set the last step time, unlike the clutch lever's.
TEST(GearLever, StrokesWithTheDirectionOfTheGearChange) {
    const StrokeCase cases[] = {
        {"vx_gl_o2", 'x', 0, {}, 9, "..--.++.."},
        {"vx_gl_o10", 'x', 0, {}, 47, ".." + repeat("-.", 10) + ".." + repeat("+.", 10) + "..."},
        // The return to idle sets the last step time: a waiting gear change waits for it.
        {"vx_gl_o10",
         'x',
         1,
         {{20, 2}},
         48,
         ".." + repeat("-.", 10) + ".." + repeat("+.", 10) + "." + ".." + "-"},
    };
    for (const StrokeCase& c : cases) runStroke(c);
}

TEST(GearLever, StrokeSequenceFollowsGearChanges) {
    // Runs of equal turns merge: "+6" is a return stroke followed by a positive out-stroke.
    const struct {
        const char* name;
        int startGear;
        std::vector<std::pair<std::uint32_t, int>> gearChanges;
        const char* expectedRuns;
        std::int32_t maxAngle;
    } cases[] = {
        // The first render strokes as for a higher gear.
        {"vx_gl_o3", 1, {{20, 2}}, "-3+3-3+3", 3},
        {"vx_gl_o3", 3, {{20, 2}}, "-3+6-3", 3},
        {"vx_gl_o3", 1, {{20, 2}, {22, 3}}, "-3+3-3+3-3+3", 3},
        {"vx_gl_o3", 1, {{20, 2}, {22, 1}}, "-3+3-3+6-3", 3},
        {"vx_gl_o3", 2, {{20, 2}}, "-3+3", 3},
        // A sign in the name is dropped: the stroke still ends.
        {"vx_gl_o-3", 1, {{20, 0}}, "-3+6-3", 3},
        {"vx_gl", 1, {{20, 2}}, "", 0},
    };
    for (const auto& c : cases) {
        TestVehicle v(frame(c.name));
        SimFrame* lever = v[c.name];
        v.sim->currentGear = static_cast<std::uint8_t>(c.startGear);
        for (std::uint32_t counter = 10; counter < 50; ++counter) {
            for (const auto& [at, gear] : c.gearChanges) {
                if (at == counter) v.sim->currentGear = static_cast<std::uint8_t>(gear);
            }
            v.pass(counter);
        }
        EXPECT_EQ(runs(v.anglesOf(lever, 'x')), c.expectedRuns)
            << c.name << " from " << c.startGear;
        EXPECT_EQ(v.record.gearLever.maxAngle, c.maxAngle);
        EXPECT_EQ(v.record.gearLever.phase, 0);
        EXPECT_EQ(v.record.gearLever.angle, 0.0f);
    }
}

TEST(GearLever, FramesWithOneKeyTurnAtMostOncePerPass) {
    TestVehicle v(frame("body", {frame("vx_gl_o4"), frame("vx_gl_o8")}));
    std::size_t rotations = 0;
    for (std::uint32_t counter = 10; counter < 40; ++counter) {
        v.pass(counter);
        EXPECT_LE(v.rotationCount() - rotations, 1u);
        rotations = v.rotationCount();
    }
    EXPECT_EQ(v.record.gearLever.maxAngle, 4);
    EXPECT_EQ(runs(v.anglesOf(v["vx_gl_o4"], 'x')), "-4+4");
    EXPECT_EQ(v.rotationsOf(v["vx_gl_o8"]).size(), 0u);
}

}  // namespace
}  // namespace animtest
