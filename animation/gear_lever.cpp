#include <cstdlib>
#include <limits>

#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"
#include "animation/step_rules.h"

namespace {

enum GearLeverPhase : std::int32_t { idle = 0, outStroke = 1, returnStroke = 2 };

// The stroke's size. Its direction comes from each gear change, so a sign in the name is dropped;
// otherwise the out-stroke, which ends on the angle's magnitude, would never end.
std::int32_t strokeSize(std::int32_t parameter) {
    if (parameter == std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::max();
    return std::abs(parameter);
}

}  // namespace

// One stroke per gear change: away from rest in the negative direction for a higher gear value, in
// the positive direction for a lower one, then back. The gear is only looked at while idle.
void animateGearLever(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    constexpr Axis axis = catalogueEntry(Component::gearLever).axis;
    GearLeverState& lever = record.gearLever;
    if (!lever.parsed) {
        lever.parsed = true;
        const ParameterValue<std::int32_t> stroke = intParameter(name, parameters::gearLeverStroke);
        if (!stroke) return;
        lever.maxAngle = strokeSize(stroke.value);
        lever.stepInterval = leverStepInterval(lever.maxAngle, strokeStepDivisor);
        return;
    }
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;

    if (lever.phase == idle) {
        const std::int32_t gear = host::currentGear(vehicle);
        const std::int32_t lastGear = lever.lastGear;
        if (gear == lastGear) return;
        lever.step = gear > lastGear ? -1.0f : 1.0f;
        lever.lastGear = static_cast<std::int16_t>(gear);
        lever.phase = outStroke;
        // lastStepTime stays, so the first out-step may follow at once.
        return;
    }
    if (lever.phase == returnStroke) {
        if (lever.angle == 0.0f) {
            lever.phase = idle;
        } else if (lever.angle > 0.0f) {
            lever.angle -= 1.0f;
            rotateFrame(frame, axis, -1.0f);
        } else {
            lever.angle += 1.0f;
            rotateFrame(frame, axis, 1.0f);
        }
        lever.lastStepTime = record.passTime;
        return;
    }
    if (std::abs(lever.angle) == static_cast<float>(lever.maxAngle)) {
        lever.phase = returnStroke;
    } else {
        lever.angle += lever.step;
        rotateFrame(frame, axis, lever.step);
    }
    lever.lastStepTime = record.passTime;
}
