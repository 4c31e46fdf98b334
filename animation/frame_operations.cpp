#include "animation/frame_operations.h"

namespace {

void rotateFrame(HostFrame* frame, const float* axis, float angle) {
    host::frameRotate(frame, axis, angle);
    host::frameUpdateObjects(frame);
}

template <typename Change>
void forEachObjectFlag(HostFrame* frame, Change change) {
    void* head = host::objectListHead(frame);
    for (void* link = host::nextLink(head); link != head; link = host::nextLink(link)) {
        std::uint8_t* flags = host::objectFlags(link);
        *flags = change(*flags);
    }
}

}  // namespace

void rotateFrameX(HostFrame* frame, float angle) { rotateFrame(frame, host::axisX(), angle); }
void rotateFrameY(HostFrame* frame, float angle) { rotateFrame(frame, host::axisY(), angle); }
void rotateFrameZ(HostFrame* frame, float angle) { rotateFrame(frame, host::axisZ(), angle); }

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

void collectChildren(HostFrame* frame, FrameList& list) {
    for (HostFrame* child = host::firstChild(frame); child != nullptr;
         child = host::nextSibling(child)) {
        list.push_back(child);
    }
}
