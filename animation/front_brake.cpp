#include "animation/animators.h"
#include "animation/frame_operations.h"
#include "animation/step_rules.h"
#include "animation/name_parameters.h"

// Follows the vehicle's front-brake flag. The visit that reads the name does not step.
void animateFrontBrake(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    if (!nameHasKey(name, "vx_fbrake")) return;
    BrakeLeverState& lever = record.frontBrake;
    if (!lever.parsed) {
        configureBrakeLever(lever, name, patterns::zAngle);
        return;
    }
    if (!stepIntervalElapsed(record.passTime, lever.lastStepTime, lever.stepInterval)) return;
    const bool braking = (host::vehicleFlags(vehicle) & 0x20) != 0;
    stepBrakeLever(lever, braking, frame, rotateFrameZ, record.passTime);
}
