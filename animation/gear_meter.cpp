#include "animation/animators.h"
#include "animation/frame_operations.h"

// Shows the child whose position equals the current gear value, in the pass in which it changes. A
// gear value without a child hides them all.
void animateGearMeter(const char*, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    GearMeterState& meter = record.gearMeter;
    if (meter.shownGear == -2) {
        // The displays keep the model's own visibility until the gear first differs from 0.
        if (!collectChildren(frame, meter.gearFrames)) return;  // collected again on the next visit
        meter.shownGear = 0;
        return;
    }
    const std::int32_t gear = host::currentGear(vehicle);
    if (gear == meter.shownGear) return;
    meter.shownGear = gear;
    hideChildren(frame);
    if (static_cast<std::uint32_t>(gear) < meter.gearFrames.size()) {
        showFrame(meter.gearFrames[static_cast<std::size_t>(gear)]);
    }
}
