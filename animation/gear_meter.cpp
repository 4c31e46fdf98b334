#include "animation/animators.h"
#include "animation/name_parameters.h"

void animateGearMeter(const std::string& name, HostFrame*, VXData&, CVehicle*) {
    if (!nameHasKey(name, "vx_gm")) return;
}
