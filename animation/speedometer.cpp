#include <algorithm>
#include <cmath>

#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"

// A needle that eases towards an angle proportional to the speed, clamped to the dial.
void animateSpeedometer(const char* name, HostFrame* frame, VXData& record, CVehicle*) {
    SpeedometerState& gauge = record.speedometer;
    if (!gauge.speedometerReady) {
        // The unit factor is kept for the models that name it; the needle follows the speed
        // estimate as it is.
        if (nameHasKey(name, kilometresMarker)) gauge.speedometerUnitFactor = kilometresUnitFactor;
        // Ready only once both parameters are read, so a failed conversion configures again on the
        // next visit.
        const ParameterValue<std::int32_t> maxSpeed =
            intParameter(name, parameters::speedometerMaxSpeed);
        if (!maxSpeed) return;
        gauge.speedometerMaxSpeed = maxSpeed.value;
        const ParameterValue<float> maxAngle =
            floatParameter(name, parameters::speedometerMaxAngle);
        if (!maxAngle) return;
        gauge.speedometerMaxAngle = maxAngle.value;
        gauge.speedometerReady = true;
        return;
    }

    const float timeStep = record.passTimeStep;
    float target = gauge.speedometerMaxAngle / static_cast<float>(gauge.speedometerMaxSpeed) *
                   static_cast<float>(record.passSpeed) * timeStep;
    // A full-scale speed of 0 at standstill gives 0/0: rest there instead.
    if (std::isnan(target)) target = 0.0f;
    target = std::max(0.0f, std::min(gauge.speedometerMaxAngle, target));
    const float step = (target - gauge.speedometerAngle) * 0.5f * timeStep;
    rotateFrame(frame, catalogueEntry(Component::speedometer).axis, step);
    gauge.speedometerAngle = gauge.speedometerAngle + step;
}
