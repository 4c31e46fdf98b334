#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"
#include "animation/step_rules.h"

// Follows the vehicle's front-brake flag. The visit that reads the name does not step.
void animateFrontBrake(const std::string& name, HostFrame* frame, VXData& record,
                       CVehicle* vehicle) {
    if (!nameHasKey(name, catalogueEntry(Component::frontBrake).key)) return;
    BrakeLeverState& lever = record.frontBrake;
    if (!lever.parsed) {
        configureBrakeLever(lever, name, parameters::frontBrakeMaxAngle);
        return;
    }
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;
    const bool braking = (host::vehicleFlags(vehicle) & 0x20) != 0;
    stepBrakeLever(lever, braking, frame, rotateFrameZ, record.passTime);
}
