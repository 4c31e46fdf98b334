#include <cmath>

#include "animation/animators.h"
#include "animation/frame_operations.h"
#include "animation/step_rules.h"

namespace {

// A faster vehicle steps less often: |speed| / 100 in pass-time units.
std::uint32_t chainStepInterval(std::int32_t passSpeed) {
    // Taken in double so that the lowest speed has an absolute value too.
    return static_cast<std::uint32_t>(std::fabs(static_cast<double>(passSpeed)) * 0.01);
}

}  // namespace

// A flip-book of link sets: exactly one child of the chain frame is shown, and the shown one moves
// backward through the children while the vehicle moves forward, forward while it reverses.
void animateChain(const char*, HostFrame* frame, VXData& record, CVehicle* vehicle) {
    ChainState& chain = record.chain;
    if (chain.linkIndex == -1) {
        if (!collectChildren(frame, chain.links)) return;  // collected again on the next visit
        chain.linkIndex = 0;
        return;
    }
    if (!stepIntervalElapsed(record.passTime, chain.lastStepTime,
                             chainStepInterval(record.passSpeed)))
        return;

    const std::int32_t speed = record.passSpeed;
    int direction = 0;  // -1 backward, +1 forward
    if (host::vehicleSubclass(vehicle) == host::bicycleClass) {
        // This class only ever runs its chain forward, and only under drive.
        if (host::driveInput(vehicle) != 0.0f && speed > 0) direction = -1;
    } else if (speed > 0) {
        direction = -1;
    } else if (speed < 0) {
        direction = 1;
    }

    // An empty list has no index to move to; -1 would mean "not collected".
    const auto count = static_cast<std::int32_t>(chain.links.size());
    if (count > 0) {
        const std::int32_t index = chain.linkIndex;
        if (direction < 0)
            chain.linkIndex = static_cast<std::int16_t>(index == 0 ? count - 1 : index - 1);
        if (direction > 0)
            chain.linkIndex = static_cast<std::int16_t>(index == count - 1 ? 0 : index + 1);
    }

    // Every elapsed step redraws, also when the index stayed.
    hideChildren(frame);
    if (chain.linkIndex >= 0 && chain.linkIndex < count)
        showFrame(chain.links[static_cast<std::size_t>(chain.linkIndex)]);
    chain.lastStepTime = record.passTime;
}
