#include "animation/speed_estimate.h"

namespace {

// Wheel speeds to kilometres per hour; the division and the factor are applied in double precision
// to the single-precision mean of the wheel terms.
double fromWheelMean(float mean) {
    return static_cast<double>(mean) / static_cast<double>(2.45f) * -186.0;
}

}  // namespace

double estimateSpeed(CVehicle* vehicle) {
    const ModelInfo* info = host::modelInfoLookup(host::modelIndex(vehicle));
    const std::int32_t vehicleClass = host::vehicleSubclass(vehicle);
    if (host::hasTwoWheelSpeeds(vehicleClass)) {
        const float mean = (host::bikeWheelSpeed(vehicle, 1) * host::wheelScaleB(info) +
                            host::bikeWheelSpeed(vehicle, 0) * host::wheelScaleA(info)) *
                           0.5f;
        return fromWheelMean(mean);
    }
    if (host::hasFourWheelSpeeds(vehicleClass)) {
        // Only the second and fourth wheels are scaled.
        const float p =
            host::wheelSpeed(vehicle, 3) * host::wheelScaleB(info) + host::wheelSpeed(vehicle, 2);
        const float q =
            host::wheelSpeed(vehicle, 1) * host::wheelScaleA(info) + host::wheelSpeed(vehicle, 0);
        return fromWheelMean((p + q) * 0.25f);
    }
    // Move speed is per host time step: 50 steps a second, then metres per second to km/h.
    const float magnitude = host::vectorMagnitude(host::moveSpeedVector(vehicle));
    return static_cast<double>(magnitude) * 50.0 * static_cast<double>(3.6f);
}
