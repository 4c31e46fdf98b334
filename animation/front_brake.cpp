#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/step_rules.h"

// Follows the vehicle's front-brake flag. The visit that reads the name does not step.
void animateFrontBrake(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    BrakeLeverState& lever = record.frontBrake;
    if (!lever.parsed) {
        configureBrakeLever(lever, name, parameters::frontBrakeMaxAngle);
        return;
    }
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;
    const bool braking = (host::vehicleFlags(vehicle) & host::frontBrakeFlag) != 0;
    stepBrakeLever(lever, braking, frame, catalogueEntry(Component::frontBrake).axis,
                   record.passTime);
}
