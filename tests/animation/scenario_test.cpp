// A bike with all nine components, ridden for a few hundred passes with changing inputs.

#include <gtest/gtest.h>

#include <cstdlib>

#include "test_vehicle.h"

namespace animtest {
namespace {

FrameShape bikeModel() {
    return frame("bike", {frameWithChildren("vx_chain", "link", 4),
                          frame("frame_body",
                                {frame("handlebar", {frame("vx_fbrake_az-20"), frame("vx_cl_az8")}),
                                 frame("vx_rbrake_ax12"), frame("vx_gl_o6"),
                                 frame("dash", {frame("vx_sm_m200_r270"), frame("vx_rpm_m100_240"),
                                                frameWithChildren("vx_gm", "g", 6),
                                                frameWithChildren("vx_om_kph", "d", 6)})})});
}

struct Inputs {
    std::int32_t speed;
    int gear;
    bool frontBrake;
    bool rearBrake;
    bool engineFlag;
};

Inputs inputsAt(int pass) {
    Inputs in{};
    in.speed = pass < 100 ? pass : pass < 200 ? 150 : pass < 300 ? 60 : pass < 350 ? -20 : 0;
    in.gear = pass < 80 ? 1 : pass < 85 ? 2 : pass < 160 ? 3 : pass < 250 ? 4 : pass < 360 ? 3 : 1;
    in.frontBrake = pass >= 140 && pass < 290;
    in.rearBrake = pass >= 160 && pass <= 190;
    in.engineFlag = pass >= 50 && pass <= 80;
    return in;
}

TEST(Scenario, BikeWithAllComponents) {
    TestVehicle v(bikeModel(), 0, 9);
    const auto modelled = v.model.flagSnapshot();
    SimFrame* chain = v["vx_chain"];
    SimFrame* meter = v["vx_gm"];

    std::int64_t units = 0;  // quantised travel, in reading units of 286 source units
    std::int64_t expectedReading = 0;
    std::int64_t lastUnits = 0;
    std::string previousLink;

    for (int pass = 0; pass < 480; ++pass) {
        const Inputs in = inputsAt(pass);
        v.setSpeed(in.speed);
        v.sim->currentGear = static_cast<std::uint8_t>(in.gear);
        v.sim->vehicleFlags =
            static_cast<std::uint8_t>((in.frontBrake ? 0x20 : 0) | (in.engineFlag ? 0x10 : 0));
        v.sim->rearBrakeInput = in.rearBrake ? 1.0f : 0.0f;
        units += in.speed / 10;
        v.sim->bikeTravelCounter = static_cast<float>(143 + 286 * units);
        // The step factor drops to 0.8 halfway, so the pass time falls once.
        v.pass(static_cast<std::uint32_t>(pass + 1), pass < 200 ? 1.0f : 0.8f);

        if (pass == 0) {
            // Configuring pass: the odometer drew its start value; nothing is shown or hidden yet.
            expectedReading = v.record.odometer.odometerLastRaw;
            lastUnits = 0;
            EXPECT_TRUE(v.model.flagChangesSince(modelled).empty());
            continue;
        }
        expectedReading += std::llabs(units - lastUnits);
        lastUnits = units;

        ASSERT_EQ(v.shownChildren(meter), std::vector<std::string>{"g" + std::to_string(in.gear)})
            << pass;
        const std::vector<std::string> links = v.shownChildren(chain);
        ASSERT_EQ(links.size(), 1u) << pass;
        if (in.speed == 0 && pass > 350) {
            EXPECT_EQ(links[0], previousLink) << pass;
        }
        previousLink = links[0];

        if (pass == 190) {
            EXPECT_EQ(v.record.rearBrake.angle, 11);
        }
        if (pass == 199) {
            // Held at 150 km/h in fourth gear: 270/200 * 150, and 240/100 * (2 * 150 / 4) / 2.
            EXPECT_NEAR(v.record.speedometer.speedometerAngle, 202.5f, 1e-3f);
            EXPECT_NEAR(v.record.revCounter.revCounterAngle, 90.0f, 1e-3f);
        }
        if (pass == 289) {
            EXPECT_LE(v.record.frontBrake.angle, -19);
        }
    }

    // Each frame's recorded turns add up to its component's angle.
    EXPECT_EQ(v.totalAngle(v["vx_fbrake_az-20"], 'z'),
              static_cast<float>(v.record.frontBrake.angle));
    EXPECT_EQ(v.totalAngle(v["vx_rbrake_ax12"], 'x'), static_cast<float>(v.record.rearBrake.angle));
    EXPECT_EQ(v.totalAngle(v["vx_cl_az8"], 'z'), v.record.clutchLever.angle);
    EXPECT_EQ(v.totalAngle(v["vx_gl_o6"], 'x'), v.record.gearLever.angle);
    EXPECT_EQ(v.totalAngle(v["vx_sm_m200_r270"], 'y'), v.record.speedometer.speedometerAngle);
    EXPECT_EQ(v.totalAngle(v["vx_rpm_m100_240"], 'y'), v.record.revCounter.revCounterAngle);

    // Everything is back at rest.
    EXPECT_EQ(v.record.frontBrake.angle, 0);
    EXPECT_EQ(v.record.rearBrake.angle, 0);
    EXPECT_EQ(v.record.clutchLever.phase, 0);
    EXPECT_EQ(v.record.gearLever.phase, 0);
    EXPECT_NEAR(v.record.speedometer.speedometerAngle, 0.0f, 1e-3f);
    EXPECT_NEAR(v.record.revCounter.revCounterAngle, 0.0f, 1e-3f);

    // The strokes: one at the first render, one for 1 -> 3 (the change to 2 and on to 3 came
    // during a stroke), then 3 -> 4, 4 -> 3 and 3 -> 1.
    EXPECT_EQ(runs(v.anglesOf(v["vx_cl_az8"], 'z')), "+8-8+8-8+8-8+8-8+8-8+8-8");
    EXPECT_EQ(runs(v.anglesOf(v["vx_gl_o6"], 'x')), "-6+6-6+6-6+6-6+12-6+6-6");
    EXPECT_EQ(runs(v.anglesOf(v["vx_rbrake_ax12"], 'x')), "+11-11");
    EXPECT_EQ(runs(v.anglesOf(v["vx_fbrake_az-20"], 'z')).substr(0, 7), "-20+1-1");

    // The odometer shows the start value plus every change of the quantised travel.
    ASSERT_LT(expectedReading, 999999);
    std::string text = std::to_string(expectedReading);
    text.insert(0, 6 - text.size(), '0');
    EXPECT_EQ(v.record.odometer.odometerText, text);
    for (int w = 0; w < 6; ++w) {
        EXPECT_EQ(v.totalAngle(v["d" + std::to_string(w)], 'x'),
                  (text[static_cast<std::size_t>(w)] - '0') * 36.0f);
    }

    // Frames without a key are never turned, and their objects keep their flags.
    for (const char* name : {"bike", "frame_body", "handlebar", "dash", "vx_chain", "link0",
                             "vx_gm", "g0", "vx_om_kph"}) {
        EXPECT_TRUE(v.rotationsOf(v[name]).empty()) << name;
    }
    for (const hostsim::FlagChange& change : v.model.flagChangesSince(modelled)) {
        const std::string name = v.model.frame(static_cast<std::size_t>(change.frameIndex))->name;
        EXPECT_TRUE(name.rfind("link", 0) == 0 || name.rfind("g", 0) == 0) << name;
    }
}

}  // namespace
}  // namespace animtest
