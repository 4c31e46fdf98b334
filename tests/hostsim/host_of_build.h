#pragma once
// The substitute host of one build as a test starts it, and as it leaves it.

#include <cstdint>
#include <initializer_list>

#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/vehicle_pool.h"

namespace hostsim {

// The image of the build laid out, a pool of poolSlots vehicles if any, and nothing done or
// called yet.
inline void startHost(std::int32_t build, std::uint32_t poolSlots = 0,
                      std::initializer_list<std::int32_t> alsoCarrying = {}) {
    layOutHostImage(build, alsoCarrying);
    if (poolSlots > 0) createVehiclePool(poolSlots);
    hostActivity() = HostActivity{};
    hostCallLog().clear();
}

// startHost for the length of a scope. On leaving, even when a test stops early, the pool is
// released and the image of no known build laid out again, as the other tests expect.
class HostOfBuild {
  public:
    explicit HostOfBuild(std::int32_t build, std::uint32_t poolSlots = 0,
                         std::initializer_list<std::int32_t> alsoCarrying = {}) {
        startHost(build, poolSlots, alsoCarrying);
    }
    ~HostOfBuild() {
        releaseVehiclePool();
        layOutHostImage(0);
    }
    HostOfBuild(const HostOfBuild&) = delete;
    HostOfBuild& operator=(const HostOfBuild&) = delete;
};

}  // namespace hostsim
