// Odometer: start value, reading, carries, the top limit and the unit, driven through the update
// pass.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "test_vehicle.h"

namespace animtest {
namespace {

constexpr double kilometreUnit = 286.0;  // source units per reading unit with "_kph"

// A source value in the middle of reading unit raw, so that truncation is unambiguous.
float sourceForRaw(std::int64_t raw, double unit = kilometreUnit) {
    return static_cast<float>(static_cast<double>(raw) * unit + unit / 2);
}

std::array<float, 6> wheelTurns(TestVehicle& v, std::size_t fromRotation = 0) {
    std::array<float, 6> turns{};
    const auto& rotations = hostsim::hostCallLog().rotations;
    for (std::size_t i = fromRotation; i < rotations.size(); ++i) {
        for (int w = 0; w < 6; ++w) {
            if (rotations[i].frame == v["vx_om_kph"]->firstChild + w) {
                EXPECT_EQ(rotations[i].axis, 'x');
                turns[static_cast<std::size_t>(w)] += rotations[i].angle;
            }
        }
    }
    return turns;
}

std::string sixDigits(std::int64_t value) {
    std::string text = std::to_string(value);
    return std::string(6 - text.size(), '0') + text;
}

TEST(Odometer, FirstCallOnlyConfiguresThenShowsTheStartReading) {
    TestVehicle v(frameWithChildren("vx_om_kph", "d", 6));
    v.sim->travelCounter = 0.0f;
    v.pass(10);
    EXPECT_EQ(v.rotationCount(), 0u);
    EXPECT_EQ(v.record.odometer.odometerText, "000000");
    const std::int32_t start = v.record.odometer.odometerLastRaw;
    EXPECT_GE(start, 1234);
    EXPECT_LE(start, 34001);
    EXPECT_EQ(v.record.odometer.odometerDigits.size(), 6u);

    // The source reads 0, so the reading begins at the start value itself.
    v.pass(11);
    const std::string text = sixDigits(start);
    EXPECT_EQ(v.record.odometer.odometerText, text);
    const std::array<float, 6> turns = wheelTurns(v);
    for (std::size_t w = 0; w < 6; ++w) EXPECT_EQ(turns[w], (text[w] - '0') * 36.0f) << w;
}

// The start values are successive values of the runtime's generator (seed 1).
TEST(Odometer, StartValuesFollowTheRuntimeSequence) {
    std::uint32_t drawn[3];
    for (std::uint32_t i = 0; i < 3; ++i) {
        TestVehicle v(frameWithChildren("vx_om", "d", 6), i);
        v.pass(10);
        drawn[i] = static_cast<std::uint32_t>(v.record.odometer.odometerLastRaw - 1234);
        ASSERT_LE(drawn[i], 32767u);
    }
    bool consistent = false;
    for (std::uint32_t free = 0; free < (1u << 17) && !consistent; ++free) {
        std::uint32_t state = (drawn[0] << 16) | (free & 0xFFFF) | ((free >> 16) << 31);
        consistent = true;
        for (int i = 1; i < 3 && consistent; ++i) {
            state = state * 214013u + 2531011u;
            consistent = ((state >> 16) & 0x7FFF) == drawn[i];
        }
    }
    EXPECT_TRUE(consistent) << drawn[0] << " " << drawn[1] << " " << drawn[2];
}

class OdometerReading {
  public:
    explicit OdometerReading(TestVehicle& v) : v_(v) {
        v_.pass(counter_++);
        base_ = v_.record.odometer.odometerLastRaw;
    }
    // Moves the source so that its quantised value is base + raw.
    void moveTo(std::int64_t raw) {
        v_.sim->travelCounter = sourceForRaw(base_ + raw);
        v_.pass(counter_++);
    }

  private:
    TestVehicle& v_;
    std::uint32_t counter_ = 10;
    std::int64_t base_ = 0;
};

TEST(Odometer, TurnsOnlyTheWheelsWhoseDigitChangesBySignedDifference) {
    const struct {
        std::int64_t from;
        std::int64_t change;  // of the quantised source
        const char* text;
        std::array<float, 6> turns;
    } cases[] = {
        {999, 1, "001000", {0, 0, 36, -324, -324, -324}},
        {3, 1, "000004", {0, 0, 0, 0, 0, 36}},
        {9, 1, "000010", {0, 0, 0, 0, 36, -324}},
        {123456, 111111, "234567", {36, 36, 36, 36, 36, 36}},
        {500, -3, "000503", {0, 0, 0, 0, 0, 108}},  // a falling source counts too
        {999990, 5, "999995", {0, 0, 0, 0, 0, 180}},
        {999990, 8, "999998", {0, 0, 0, 0, 0, 288}},
        {999990, 9, "999990", {0, 0, 0, 0, 0, 0}},  // 999999 is never shown
        {999990, 500, "999990", {0, 0, 0, 0, 0, 0}},
        {42, 0, "000042", {0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        TestVehicle v(frameWithChildren("vx_om_kph", "d", 6));
        OdometerReading reading(v);
        reading.moveTo(0);
        reading.moveTo(c.from);
        ASSERT_EQ(v.record.odometer.odometerText, sixDigits(c.from));
        const std::size_t before = v.rotationCount();
        reading.moveTo(c.from + c.change);
        EXPECT_EQ(v.record.odometer.odometerText, c.text) << c.from << " + " << c.change;
        EXPECT_EQ(wheelTurns(v, before), c.turns) << c.from << " + " << c.change;
        // Every wheel's total turn is its digit.
        const std::array<float, 6> total = wheelTurns(v);
        for (std::size_t w = 0; w < 6; ++w)
            EXPECT_EQ(total[w], (v.record.odometer.odometerText[w] - '0') * 36.0f);
    }
}

TEST(Odometer, IncrementDroppedAtTheTopIsLostForGood) {
    TestVehicle v(frameWithChildren("vx_om_kph", "d", 6));
    OdometerReading reading(v);
    reading.moveTo(0);
    reading.moveTo(999990);
    reading.moveTo(999999);
    EXPECT_EQ(v.record.odometer.odometerText, "999990");
    reading.moveTo(1000000);
    EXPECT_EQ(v.record.odometer.odometerText, "999991");
}

TEST(Odometer, UnitComesFromTheName) {
    const struct {
        const char* name;
        double sourceChange;
        std::int64_t increment;
        float unitFactor;
    } cases[] = {
        {"vx_om_kph", 2860, 10, 100.0f}, {"vx_om_kph", 142, 0, 100.0f},
        {"vx_om_kph", 286, 1, 100.0f},   {"vx_om", 2860, 6, 160.9f},
        {"vx_om", 4602, 10, 160.9f},     {"vx_om", 286, 1, 160.9f},
    };
    for (const auto& c : cases) {
        TestVehicle v(frameWithChildren(c.name, "d", 6));
        v.pass(10);
        EXPECT_EQ(v.record.odometer.odometerUnitFactor, c.unitFactor);
        const double unit = static_cast<double>(c.unitFactor) * 2.86;
        v.sim->travelCounter = sourceForRaw(1000, unit);
        v.pass(11);
        const std::string start = v.record.odometer.odometerText;
        v.sim->travelCounter = static_cast<float>(1000 * unit + unit / 2 + c.sourceChange);
        v.pass(12);
        EXPECT_EQ(std::stoll(v.record.odometer.odometerText) - std::stoll(start), c.increment)
            << c.name;
    }
}

TEST(Odometer, SmallChangesAddUpWhileTheSourceMovesOneWay) {
    TestVehicle v(frameWithChildren("vx_om_kph", "d", 6));
    v.pass(10);
    float source = sourceForRaw(1000);
    v.sim->travelCounter = source;
    v.pass(11);
    const std::string start = v.record.odometer.odometerText;
    for (std::uint32_t counter = 12; counter < 22; ++counter) {
        v.sim->travelCounter = source += 100.0f;
        v.pass(counter);
    }
    EXPECT_EQ(std::stoll(v.record.odometer.odometerText) - std::stoll(start), 3);
}

TEST(Odometer, BikeClassReadsItsOwnTravelCounter) {
    const struct {
        std::int32_t vehicleClass;
        bool bikeCounterCounts;
    } cases[] = {{9, true}, {10, false}, {3, false}, {0, false}};
    for (const auto& c : cases) {
        TestVehicle v(frameWithChildren("vx_om_kph", "d", 6), 0, c.vehicleClass);
        v.pass(10);
        v.pass(11);
        const std::string start = v.record.odometer.odometerText;
        v.sim->bikeTravelCounter = sourceForRaw(7);
        v.pass(12);
        const std::string afterBike = v.record.odometer.odometerText;
        v.sim->travelCounter = sourceForRaw(20);
        v.pass(13);
        const std::int64_t byBike = std::stoll(afterBike) - std::stoll(start);
        const std::int64_t byCar =
            std::stoll(v.record.odometer.odometerText) - std::stoll(afterBike);
        EXPECT_EQ(byBike, c.bikeCounterCounts ? 7 : 0) << c.vehicleClass;
        EXPECT_EQ(byCar, c.bikeCounterCounts ? 0 : 20) << c.vehicleClass;
    }
}

TEST(Odometer, FewerThanSixWheelsTurnTheWheelsThereAre) {
    TestVehicle v(frameWithChildren("vx_om_kph", "d", 3));
    OdometerReading reading(v);
    reading.moveTo(0);
    reading.moveTo(123456);
    EXPECT_EQ(v.record.odometer.odometerText, "123456");
    const std::array<float, 6> turns = wheelTurns(v);
    EXPECT_EQ(turns, (std::array<float, 6>{36, 72, 108, 0, 0, 0}));
}

TEST(Odometer, SourceBeyondTheIntegerRangeOrNotANumberIsHandled) {
    TestVehicle v(frameWithChildren("vx_om_kph", "d", 6));
    OdometerReading reading(v);
    reading.moveTo(0);
    const struct {
        float source;
        const char* text;
    } steps[] = {
        {1e30f, "000000"},  // saturates far beyond the limit: dropped
        {std::numeric_limits<float>::quiet_NaN(), "000000"},  // taken as 0, again a huge change
        {sourceForRaw(5), "000005"},
        {-1e30f, "000005"},
        {sourceForRaw(6), "000005"},
        {sourceForRaw(7), "000006"},
    };
    std::uint32_t counter = 100;
    for (const auto& step : steps) {
        v.sim->travelCounter = step.source;
        v.pass(counter++);
        EXPECT_EQ(v.record.odometer.odometerText, step.text) << step.source;
    }
}

TEST(Odometer, SecondOdometerFrameSharesTheFirstFramesWheelsAndUnit) {
    FrameShape second = frameWithChildren("vx_om", "b", 6);
    TestVehicle v(frame("dash", {frameWithChildren("vx_om_kph", "d", 6), second}));
    v.sim->travelCounter = 0.0f;
    // The second frame makes the first moving call in the configuring pass.
    v.pass(10);
    EXPECT_NE(v.record.odometer.odometerText, "000000");
    EXPECT_EQ(v.record.odometer.odometerUnitFactor, 100.0f);
    for (int w = 0; w < 6; ++w) EXPECT_EQ(v.rotationsOf(v["b" + std::to_string(w)]).size(), 0u);
    const std::array<float, 6> turns = wheelTurns(v);
    for (std::size_t w = 0; w < 6; ++w)
        EXPECT_EQ(turns[w], (v.record.odometer.odometerText[w] - '0') * 36.0f);
}

}  // namespace
}  // namespace animtest
