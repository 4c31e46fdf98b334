#include "animation/update_pass.h"

#include <bit>
#include <cstring>

#include "animation/component_catalogue.h"
#include "animation/key_scan.h"
#include "animation/saturating_conversions.h"
#include "animation/speed_estimate.h"

namespace {

bool hasComponentPrefix(const char* name) {
    return name[0] == componentPrefix[0] && name[1] == componentPrefix[1] &&
           name[2] == componentPrefix[2];
}

// Runs the animators of the components whose keys the name holds, in catalogue order. They read
// the host's text in place, within the host's render call: an animator reads the name only while
// it configures, so a copy would go unread on every ordinary pass.
void animateFrame(HostFrame* frame, const char* name, CVehicle* vehicle, VXData& record) {
    for (ComponentSet left = componentKeysIn(name); left != 0;
         left = static_cast<ComponentSet>(left & (left - 1))) {
        (*passAnimators)[static_cast<std::size_t>(std::countr_zero(left))](name, frame, record,
                                                                           vehicle);
    }
}

// Siblings are followed in a loop and only children recurse, so a long sibling chain needs no
// stack.
void visitFrame(HostFrame* frame, CVehicle* vehicle, VXData& record) {
    for (; frame != nullptr; frame = host::nextSibling(frame)) {
        const char* name = host::frameGetNodeName(frame);
        if (name != nullptr && hasComponentPrefix(name)) animateFrame(frame, name, vehicle, record);
        if (HostFrame* child = host::firstChild(frame)) visitFrame(child, vehicle, record);
    }
}

}  // namespace

// A pointer read per frame rather than a parameter handed down the walk: the walk's calls stay as
// cheap as with the table built in.
const AnimatorTable* passAnimators = &animatorTable;

std::int32_t passSpeedFrom(double estimate) { return truncateToInt32(estimate); }

std::uint32_t passTimeFrom(std::uint32_t timeCounter, float timeStep) {
    const float counter = static_cast<float>(static_cast<double>(timeCounter));
    return truncateToUint32(counter * timeStep);
}

void updateVehicle(CVehicle* vehicle, VXData& record) {
    // Copied as bytes: a float returned through the x87 stack would turn a signalling not-a-number
    // into a quiet one.
    std::memcpy(&record.passTimeStep, reinterpret_cast<const void*>(host::timeStepAddress),
                sizeof record.passTimeStep);
    record.passSpeed = passSpeedFrom(estimateSpeed(vehicle));
    // Read again: the speed estimate calls into the host, which may have moved the step meanwhile.
    record.passTime = passTimeFrom(host::timeCounter(), host::timeStep());
    const void* model = host::modelObject(vehicle);
    if (model == nullptr) return;
    visitFrame(host::rootFrame(model), vehicle, record);
}
