#include "animation/step_rules.h"

#include "animation/frame_operations.h"

std::uint32_t leverStepInterval(std::int32_t maxAngle, std::int32_t divisor) {
    const std::int32_t quotient = maxAngle / divisor;  // divisor > 1, so this cannot overflow
    return static_cast<std::uint32_t>(quotient < 0 ? -quotient : quotient);
}

bool configureBrakeLever(BrakeLeverState& lever, const char* name, const ParameterRule& maxAngle) {
    lever.parsed = true;
    const ParameterValue<std::int32_t> angle = intParameter(name, maxAngle);
    if (!angle) return false;
    lever.maxAngle = angle.value;
    lever.stepInterval = leverStepInterval(lever.maxAngle, brakeStepDivisor);
    return true;
}

void stepBrakeLever(BrakeLeverState& lever, bool inputActive, HostFrame* frame, Axis axis,
                    std::uint32_t passTime) {
    if (inputActive && lever.angle != lever.maxAngle) {
        if (lever.angle < lever.maxAngle) {
            ++lever.angle;
            rotateFrame(frame, axis, 1.0f);
        } else {
            --lever.angle;
            rotateFrame(frame, axis, -1.0f);
        }
    } else {
        if (lever.angle == 0) return;
        // The way back is the opposite of the travel direction given by the frame name.
        if (lever.maxAngle > 0) {
            --lever.angle;
            rotateFrame(frame, axis, -1.0f);
        } else {
            ++lever.angle;
            rotateFrame(frame, axis, 1.0f);
        }
    }
    lever.lastStepTime = passTime;
}
