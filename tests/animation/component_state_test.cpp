// A new record starts every component at the state that means "not yet configured".
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "animation/component_state.h"

namespace {

TEST(ComponentState, NewRecordHoldsTheDefaults) {
    const VXData record(nullptr);

    EXPECT_EQ(std::bit_cast<std::uint32_t>(record.passTimeStep), 0u);
    EXPECT_EQ(record.passSpeed, 0);
    EXPECT_EQ(record.passTime, 0u);

    EXPECT_TRUE(record.chain.links.empty());
    EXPECT_EQ(record.chain.linkIndex, -1);
    EXPECT_EQ(record.chain.lastStepTime, 0u);

    for (const BrakeLeverState* brake : {&record.frontBrake, &record.rearBrake}) {
        EXPECT_FALSE(brake->parsed);
        EXPECT_EQ(brake->angle, 0);
        EXPECT_EQ(brake->maxAngle, 0);
        EXPECT_EQ(brake->stepInterval, 0u);
        EXPECT_EQ(brake->lastStepTime, 0u);
    }

    EXPECT_FALSE(record.clutchLever.parsed);
    EXPECT_EQ(record.clutchLever.phase, 0);
    EXPECT_EQ(record.clutchLever.angle, 0.0f);
    EXPECT_EQ(record.clutchLever.maxAngle, 0);
    EXPECT_EQ(record.clutchLever.stepInterval, 0u);
    EXPECT_EQ(record.clutchLever.lastStepTime, 0u);
    EXPECT_EQ(record.clutchLever.lastGear, -2);

    EXPECT_FALSE(record.gearLever.parsed);
    EXPECT_EQ(record.gearLever.phase, 0);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(record.gearLever.step), 0x3F800000u);
    EXPECT_EQ(record.gearLever.angle, 0.0f);
    EXPECT_EQ(record.gearLever.maxAngle, 0);
    EXPECT_EQ(record.gearLever.stepInterval, 0u);
    EXPECT_EQ(record.gearLever.lastStepTime, 0u);
    EXPECT_EQ(record.gearLever.lastGear, -2);

    EXPECT_EQ(record.gearMeter.shownGear, -2);
    EXPECT_TRUE(record.gearMeter.gearFrames.empty());

    EXPECT_FALSE(record.odometer.odometerReady);
    EXPECT_EQ(record.odometer.odometerLastRaw, 0);
    EXPECT_EQ(record.odometer.odometerText, "000000");
    EXPECT_TRUE(record.odometer.odometerDigits.empty());
    EXPECT_EQ(std::bit_cast<std::uint32_t>(record.odometer.odometerUnitFactor), 0x4320E666u);

    EXPECT_FALSE(record.speedometer.speedometerReady);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(record.speedometer.speedometerUnitFactor), 0x4320E666u);
    EXPECT_EQ(record.speedometer.speedometerAngle, 0.0f);
    EXPECT_EQ(record.speedometer.speedometerMaxAngle, 0.0f);
    EXPECT_EQ(record.speedometer.speedometerMaxSpeed, 0);

    EXPECT_FALSE(record.revCounter.revCounterReady);
    EXPECT_EQ(record.revCounter.revCounterAngle, 0.0f);
    EXPECT_EQ(record.revCounter.revCounterMaxAngle, 0.0f);
    EXPECT_EQ(record.revCounter.revCounterMaxValue, 0);
}

}  // namespace
