#pragma once
// The per-vehicle record of everything the update pass and the component animators remember.

#include <bit>
#include <cstdint>
#include <string>

#include "animation/frame_list.h"
#include "host/host_interface.h"

// Unit factor of the odometer and the speedometer: miles unless the frame name says "_kph".
inline constexpr float milesUnitFactor = 160.9f;
inline constexpr float kilometresUnitFactor = 100.0f;
static_assert(std::bit_cast<std::uint32_t>(milesUnitFactor) == 0x4320E666);

struct ChainState {
    FrameList links;
    std::int16_t linkIndex = -1;  // -1: links not yet collected
    std::uint32_t lastStepTime = 0;
};

struct BrakeLeverState {
    bool parsed = false;
    std::int32_t angle = 0;
    std::int32_t maxAngle = 0;
    std::uint32_t stepInterval = 0;
    std::uint32_t lastStepTime = 0;
};

struct ClutchLeverState {
    bool parsed = false;
    std::int32_t phase = 0;  // 0 idle, 1 out-stroke, 2 return stroke
    float angle = 0.0f;
    std::int32_t maxAngle = 0;
    std::uint32_t stepInterval = 0;
    std::uint32_t lastStepTime = 0;
    std::int16_t lastGear = -2;  // matches no gear the host can report
};

struct GearLeverState {
    bool parsed = false;
    std::int32_t phase = 0;  // 0 idle, 1 out-stroke, 2 return stroke
    float step = 1.0f;
    float angle = 0.0f;
    std::int32_t maxAngle = 0;
    std::uint32_t stepInterval = 0;
    std::uint32_t lastStepTime = 0;
    std::int16_t lastGear = -2;
};

struct GearMeterState {
    std::int32_t shownGear = -2;  // -2: displays not yet collected
    FrameList gearFrames;
};

struct OdometerState {
    bool odometerReady = false;
    std::int32_t odometerLastRaw = 0;
    std::string odometerText = "000000";
    FrameList odometerDigits;
    float odometerUnitFactor = milesUnitFactor;
};

struct SpeedometerState {
    bool speedometerReady = false;
    float speedometerUnitFactor = milesUnitFactor;
    float speedometerAngle = 0.0f;
    float speedometerMaxAngle = 0.0f;
    std::int32_t speedometerMaxSpeed = 0;
};

struct RevCounterState {
    bool revCounterReady = false;
    float revCounterAngle = 0.0f;
    float revCounterMaxAngle = 0.0f;
    std::int32_t revCounterMaxValue = 0;
};

struct VXData {
    // The vehicle is not read: every field starts at its default.
    explicit VXData(CVehicle*) {}
    VXData(const VXData&) = delete;
    VXData& operator=(const VXData&) = delete;

    // Pass inputs, refreshed by the update pass on every render before any animator runs.
    float passTimeStep = 0.0f;
    std::int32_t passSpeed = 0;
    std::uint32_t passTime = 0;

    ChainState chain;
    BrakeLeverState frontBrake;
    BrakeLeverState rearBrake;
    ClutchLeverState clutchLever;
    GearLeverState gearLever;
    GearMeterState gearMeter;
    OdometerState odometer;
    SpeedometerState speedometer;
    RevCounterState revCounter;
};
