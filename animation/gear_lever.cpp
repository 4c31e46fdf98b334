#include "animation/animators.h"
#include "animation/name_parameters.h"

void animateGearLever(const std::string& name, HostFrame*, VXData&, CVehicle*) {
    if (!nameHasKey(name, "vx_gl")) return;
}
