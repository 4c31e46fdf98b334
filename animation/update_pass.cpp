#include "animation/update_pass.h"

#include <cstring>
#include <string>

#include "animation/component_catalogue.h"
#include "animation/saturating_conversions.h"
#include "animation/speed_estimate.h"

namespace {

// The name of the frame being animated. Kept from pass to pass so that an ordinary pass allocates
// nothing; the animators of a frame run before its children are visited, so one text serves the
// whole walk.
std::string& nameBuffer() {
    static std::string buffer;
    return buffer;
}

bool hasComponentPrefix(const char* name) {
    return name[0] == 'v' && name[1] == 'x' && name[2] == '_';
}

void animateFrame(HostFrame* frame, const char* rawName, CVehicle* vehicle, VXData& record) {
    std::string& name = nameBuffer();
    name.assign(rawName);
    for (const ComponentEntry& entry : componentCatalogue) {
        // A parameter that cannot be converted stops only this animator, for this frame and pass.
        try {
            entry.animate(name, frame, record, vehicle);
        } catch (...) {
        }
    }
}

}  // namespace

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
    record.passTime = passTimeFrom(host::timeCounter(), host::timeStep());
    const void* model = host::modelObject(vehicle);
    if (model == nullptr) return;
    visitFrame(host::rootFrame(model), vehicle, record);
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
