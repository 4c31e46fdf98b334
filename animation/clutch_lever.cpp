#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"
#include "animation/step_rules.h"

namespace {

enum ClutchPhase : std::int32_t { idle = 0, outStroke = 1, returnStroke = 2 };

}  // namespace

// One stroke out to the maximum angle and back on every gear change. The gear is only looked at
// while idle, so a change during a stroke starts the next stroke once this one has ended.
void animateClutchLever(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    ClutchLeverState& lever = record.clutchLever;
    if (!lever.parsed) {
        lever.parsed = true;
        const ParameterValue<std::int32_t> maxAngle =
            intParameter(name, parameters::clutchLeverMaxAngle);
        if (!maxAngle) return;
        lever.maxAngle = maxAngle.value;
        lever.stepInterval = leverStepInterval(lever.maxAngle, strokeStepDivisor);
        return;
    }
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;

    // One degree, applied to the frame and to the angle alike.
    const auto turn = [&](float step) {
        lever.angle += step;
        rotateFrame(frame, catalogueEntry(Component::clutchLever).axis, step);
        lever.lastStepTime = record.passTime;
    };

    // A phase change moves nothing and keeps lastStepTime, so the next visit may step at once.
    if (lever.phase == idle) {
        const std::int16_t gear = host::currentGear(vehicle);
        if (gear == lever.lastGear) return;
        lever.lastGear = gear;
        lever.phase = outStroke;
        return;
    }
    if (lever.phase == returnStroke) {
        if (lever.angle == 0.0f) {
            lever.phase = idle;
            return;
        }
        // Back toward rest, in the direction the sign of the maximum gives.
        turn(lever.maxAngle > 0 ? -1.0f : 1.0f);
        return;
    }
    const float maxAngle = static_cast<float>(lever.maxAngle);
    if (lever.angle == maxAngle) {
        lever.phase = returnStroke;
        return;
    }
    turn(lever.angle > maxAngle ? -1.0f : 1.0f);
}
