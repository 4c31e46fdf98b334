#include "animation/animators.h"
#include "animation/name_parameters.h"

void animateRearBrake(const std::string& name, HostFrame*, VXData&, CVehicle*) {
    if (!nameHasKey(name, "vx_rbrake")) return;
}
