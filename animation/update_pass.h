#pragma once
// The work done on every render of a vehicle: refresh the pass inputs, then walk the model's frame
// tree and hand every "vx_" frame to the animators of the component keys its name holds.

#include <cstdint>

#include "animation/animator_table.h"
#include "animation/component_state.h"

// Pass inputs from host values, without undefined conversions: not-a-number gives 0 and values
// beyond the target type saturate at its limits.
std::int32_t passSpeedFrom(double estimate);
std::uint32_t passTimeFrom(std::uint32_t timeCounter, float timeStep);

// The animators the pass calls, indexed by Component: the library's own, unless a test hands the
// pass stand-ins.
extern const AnimatorTable* passAnimators;

// Refreshes the record's pass inputs and walks the vehicle's frames depth first, each frame before
// its children and its children before its later siblings. A vehicle without a model object or
// root frame gets its inputs refreshed and no walk.
void updateVehicle(CVehicle* vehicle, VXData& record);
