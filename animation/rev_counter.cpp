#include <algorithm>
#include <cmath>

#include "animation/animators.h"
#include "animation/component_catalogue.h"
#include "animation/frame_operations.h"
#include "animation/name_parameters.h"

// A needle that eases towards an engine value made from the speed and the gear, raised
// while the vehicle's throttle flag is set, and clamped to the dial.
void animateRevCounter(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    RevCounterState& gauge = record.revCounter;
    if (!gauge.revCounterReady) {
        // Ready only once both parameters are read, so a failed conversion configures again on the
        // next visit.
        const ParameterValue<std::int32_t> maxValue =
            intParameter(name, parameters::revCounterMaxValue);
        if (!maxValue) return;
        gauge.revCounterMaxValue = maxValue.value;
        const ParameterValue<float> maxAngle = floatParameter(name, parameters::revCounterMaxAngle);
        if (!maxAngle) return;
        gauge.revCounterMaxAngle = maxAngle.value;
        gauge.revCounterReady = true;
        return;
    }

    const float timeStep = record.passTimeStep;
    const std::uint8_t gear = host::currentGear(vehicle);
    float engine = 0.0f;
    if (gear != 0)
        engine =
            (timeStep + timeStep) * static_cast<float>(record.passSpeed) / static_cast<float>(gear);
    if ((host::vehicleFlags(vehicle) & host::throttleFlag) != 0) engine = engine + timeStep * 6.0f;

    float target = gauge.revCounterMaxAngle / static_cast<float>(gauge.revCounterMaxValue) *
                   engine * timeStep * 0.5f;
    // A full-scale value of 0 with no engine value gives 0/0: rest there instead.
    if (std::isnan(target)) target = 0.0f;
    target = std::max(0.0f, std::min(gauge.revCounterMaxAngle, target));
    const float step = (target - gauge.revCounterAngle) * 0.25f * timeStep;
    rotateFrame(frame, catalogueEntry(Component::revCounter).axis, step);
    gauge.revCounterAngle = gauge.revCounterAngle + step;
}
