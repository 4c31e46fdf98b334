#pragma once
// Step timing shared by the stepping components, and the step rule of the two brake levers. Levers
// move one degree per step, at most once per pass, and only after more than their step interval has
// passed since their previous step.

#include <cstdint>

#include "animation/component_catalogue.h"
#include "animation/component_state.h"

// The time difference wraps, so a pass clock that went back counts as a long wait.
inline bool stepIntervalElapsed(std::uint32_t passTime, std::uint32_t lastStepTime,
                                std::uint32_t stepInterval) {
    return passTime - lastStepTime > stepInterval;
}

// |maxAngle / divisor|, the quotient truncated toward zero: a longer lever travel steps more
// slowly.
std::uint32_t leverStepInterval(std::int32_t maxAngle, std::int32_t divisor);

// Reads the maximum angle of a brake lever from its frame name. The flag is set first, so a name
// whose parameter cannot be converted is never read again and leaves the lever still. False when
// the conversion failed: the visit ends there.
bool configureBrakeLever(BrakeLeverState& lever, const char* name, const ParameterRule& maxAngle);

// One step of a brake lever, once its interval has elapsed: towards the maximum while the input is
// held, back towards rest otherwise. Held at the maximum it keeps stepping between the maximum and
// one degree short of it.
void stepBrakeLever(BrakeLeverState& lever, bool inputActive, HostFrame* frame, Axis axis,
                    std::uint32_t passTime);
