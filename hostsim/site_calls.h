#pragma once
// The host's own code paths through the five call sites: whatever the library has patched there
// is reached exactly as the host would reach it.

#include <cstdint>

#include "hostsim/host_layout.h"

namespace hostsim {

enum class RenderSite { call, jump };

// Creates the vehicle pool of the given size through the pool site.
void createPoolThroughSite(std::uint32_t slots);
void constructThroughSite(SimVehicle* vehicle);
void destroyThroughSite(SimVehicle* vehicle);
void renderThroughSite(SimVehicle* vehicle, RenderSite site);

}  // namespace hostsim
