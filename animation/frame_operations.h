#pragma once
// The only ways the animators change a model: turning frames about an axis, switching the render
// flag of attached objects, and taking a snapshot of a frame's children.

#include "animation/axis.h"
#include "animation/component_state.h"

// The host's unit vector along a frame axis; none has no vector.
inline const float* hostAxis(Axis axis) {
    switch (axis) {
        case Axis::x:
            return host::axisX();
        case Axis::y:
            return host::axisY();
        case Axis::z:
            return host::axisZ();
        case Axis::none:
            break;
    }
    return nullptr;
}

// Turn the frame by angle degrees about the host axis, on top of its current transformation, and
// make its attached objects follow.
void rotateFrame(HostFrame* frame, const float* hostAxis, float angle);

// The same about one of the frame's own axes, which is never none. Inline, so that an axis known
// at compile time costs nothing.
inline void rotateFrame(HostFrame* frame, Axis axis, float angle) {
    rotateFrame(frame, hostAxis(axis), angle);
}

// Clear the render flag of the objects attached to each direct child of the frame.
void hideChildren(HostFrame* frame);
// Set the render flag of the objects attached to the frame itself.
void showFrame(HostFrame* frame);
// Append the frame's direct children to the list, first child first. False when memory ran out:
// the list is then left empty.
[[nodiscard]] bool collectChildren(HostFrame* frame, FrameList& list);
