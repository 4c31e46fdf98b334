#pragma once
// The nine component animators; the component catalogue gives the order in which the update pass
// calls them for every frame whose name begins with "vx_". Each tests its own key and returns at
// once if the name lacks it.

#include <string>

#include "animation/component_state.h"

using Animator = void (*)(const std::string& name, HostFrame* frame, VXData& record,
                          CVehicle* vehicle);

void animateChain(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateFrontBrake(const std::string& name, HostFrame* frame, VXData& record,
                       CVehicle* vehicle);
void animateRearBrake(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateClutchLever(const std::string& name, HostFrame* frame, VXData& record,
                        CVehicle* vehicle);
void animateGearLever(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateGearMeter(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateOdometer(const std::string& name, HostFrame* frame, VXData& record, CVehicle* vehicle);
void animateSpeedometer(const std::string& name, HostFrame* frame, VXData& record,
                        CVehicle* vehicle);
void animateRevCounter(const std::string& name, HostFrame* frame, VXData& record,
                       CVehicle* vehicle);
