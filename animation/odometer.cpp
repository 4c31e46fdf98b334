#include "animation/animators.h"
#include "animation/name_parameters.h"

void animateOdometer(const std::string& name, HostFrame*, VXData&, CVehicle*) {
    if (!nameHasKey(name, "vx_om")) return;
}
