#include "animation/frame_operations.h"

namespace {

template <typename Change>
void forEachObjectFlag(HostFrame* frame, Change change) {
    void* head = host::objectListHead(frame);
    for (void* link = host::nextLink(head); link != head; link = host::nextLink(link)) {
        std::uint8_t* flags = host::objectFlags(link);
        *flags = change(*flags);
    }
}

}  // namespace

void rotateFrame(HostFrame* frame, const float* hostAxis, float angle) {
    host::frameRotate(frame, hostAxis, angle);
    host::frameUpdateObjects(frame);
}

void hideChildren(HostFrame* frame) {
    for (HostFrame* child = host::firstChild(frame); child != nullptr;
         child = host::nextSibling(child)) {
        forEachObjectFlag(
            child, [](std::uint8_t flags) { return std::uint8_t(flags & ~host::renderFlag); });
    }
}

void showFrame(HostFrame* frame) {
    forEachObjectFlag(frame,
                      [](std::uint8_t flags) { return std::uint8_t(flags | host::renderFlag); });
}

bool collectChildren(HostFrame* frame, FrameList& list) {
    for (HostFrame* child = host::firstChild(frame); child != nullptr;
         child = host::nextSibling(child)) {
        if (!list.push_back(child)) {
            list.clear();
            return false;
        }
    }
    return true;
}
