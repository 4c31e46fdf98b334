#include <algorithm>

#include "hostsim/host_calls.h"

namespace hostsim {

namespace {

void drawFrame(const SimFrame* frame, Drawing& drawing) {
    DrawnFrame drawn{frame, {}, {}};
    std::copy(std::begin(frame->matrix), std::end(frame->matrix), drawn.orientation.begin());
    for (const SimLink* link = frame->objectList.next;
         link != nullptr && link != &frame->objectList; link = link->next) {
        const auto* object = reinterpret_cast<const SimObject*>(
            reinterpret_cast<const std::uint8_t*>(link) - offsetof(SimObject, link));
        drawn.objectsRendered.push_back((object->flags & renderFlag) != 0);
    }
    drawing.frames.push_back(std::move(drawn));
    for (const SimFrame* child = frame->firstChild; child != nullptr; child = child->nextSibling) {
        drawFrame(child, drawing);
    }
}

}  // namespace

Drawing drawVehicle(const SimVehicle* vehicle) {
    Drawing drawing{vehicle, {}};
    if (vehicle->modelObject != nullptr && vehicle->modelObject->root != nullptr) {
        drawFrame(vehicle->modelObject->root, drawing);
    }
    return drawing;
}

}  // namespace hostsim
