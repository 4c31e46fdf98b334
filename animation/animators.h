#pragma once
// The nine component animators. The update pass calls one for a frame whose name begins with "vx_"
// and holds the component's key anywhere; the component catalogue gives their order. Every frame
// of a vehicle with the same key shares the component's group in the record. The name is the
// host's own zero-terminated text; an animator reads it only while it configures. A parameter
// that cannot be converted ends that visit of its animator where it stands: the group keeps what
// it holds, and the other components, frames and vehicles go on.

#include "animation/component_state.h"

using Animator = void (*)(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);

void animateChain(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateFrontBrake(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateRearBrake(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateClutchLever(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateGearLever(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateGearMeter(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateOdometer(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateSpeedometer(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateRevCounter(const char* name, HostFrame* frame, VXData& record, CVehicle* vehicle);
