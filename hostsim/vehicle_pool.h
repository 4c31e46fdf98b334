#pragma once
// The host's vehicle pool and model information.

#include <cstdint>

#include "hostsim/host_layout.h"

namespace hostsim {

// Size of the pool that the host's pool function creates next.
void setPendingPoolSize(std::uint32_t slots);
// Creates the pool directly, as the host's pool function does, for tests that need no call site.
SimPool* createVehiclePool(std::uint32_t slots);
void releaseVehiclePool();
SimPool* currentVehiclePool();
SimVehicle* vehicleInSlot(std::uint32_t slot);

// Model information that ModelInfoLookup returns for a model index; every index starts with both
// wheel scales 1.0.
SimModelInfo* modelInfo(std::uint16_t modelIndex);
void setWheelScales(std::uint16_t modelIndex, float wheelScaleA, float wheelScaleB);

// What the host's own member functions were asked to do, so tests can see the host call still ran.
struct HostActivity {
    std::uint32_t poolCreations = 0;
    std::uint32_t constructions = 0;
    std::uint32_t destructions = 0;
    std::uint32_t renders = 0;
};
HostActivity& hostActivity();

}  // namespace hostsim
