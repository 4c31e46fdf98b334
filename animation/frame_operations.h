#pragma once
// The only ways the animators change a model: turning frames about an axis, switching the render
// flag of attached objects, and taking a snapshot of a frame's children.

#include "animation/component_state.h"

// Turn the frame by angle degrees about its axis, on top of its current transformation, and make
// its attached objects follow.
void rotateFrameX(HostFrame* frame, float angle);
void rotateFrameY(HostFrame* frame, float angle);
void rotateFrameZ(HostFrame* frame, float angle);

// Clear the render flag of the objects attached to each direct child of the frame.
void hideChildren(HostFrame* frame);
// Set the render flag of the objects attached to the frame itself.
void showFrame(HostFrame* frame);
// Append the frame's direct children to the list, first child first.
void collectChildren(HostFrame* frame, FrameList& list);
