#pragma once
// The host's own functions, in the host's calling conventions. The image reaches them through a
// jump at each host address, or through the call sites.

#include <cstdint>

#include "hostsim/host_layout.h"

namespace hostsim {

extern "C" {
SimFrame* simFrameRotate(SimFrame* frame, const float* axis, float angle, std::int32_t combine);
SimFrame* simFrameUpdateObjects(SimFrame* frame);
const char* simFrameGetNodeName(SimFrame* frame);
SimModelInfo* simModelInfoLookup(std::uint32_t index);
}
__attribute__((thiscall)) float simVectorMagnitude(const float* vector);

// Host code keeps the stack only 4-byte aligned, so the functions that the site routines call
// realign it themselves.
// Reached through the pool site: creates the vehicle pool with the size set beforehand.
__attribute__((force_align_arg_pointer)) std::int32_t simCreateVehiclePool();
// Reached through the construction, destruction and render sites, as member functions.
__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simConstructVehicle(
    SimVehicle* vehicle);
__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simDestroyVehicle(
    SimVehicle* vehicle);
__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simRenderVehicle(
    SimVehicle* vehicle);

}  // namespace hostsim
