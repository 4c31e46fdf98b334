#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/step_rules.h"

// Follows the vehicle's rear-brake input. Unlike the front brake, it steps in the same visit that
// reads the name.
void animateRearBrake(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    BrakeLeverState& lever = record.rearBrake;
    if (!lever.parsed && !configureBrakeLever(lever, name, parameters::rearBrakeMaxAngle)) return;
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;
    // Not-a-number counts as braking, -0.0 does not.
    const bool braking = host::rearBrakeInput(vehicle) != 0.0f;
    stepBrakeLever(lever, braking, frame, catalogueEntry(Component::rearBrake).axis,
                   record.passTime);
}
