#include "hostsim/vehicle_pool.h"

#include <memory>

#include "hostsim/host_calls.h"
#include "hostsim/host_functions.h"

namespace hostsim {

namespace {

struct PoolStorage {
    SimPool pool{};
    std::unique_ptr<SimVehicle[]> vehicles;
};

PoolStorage& poolStorage() {
    static PoolStorage storage;
    return storage;
}

std::uint32_t& pendingPoolSize() {
    static std::uint32_t size = 110;
    return size;
}

std::unique_ptr<SimModelInfo[]>& modelInfoTable() {
    static std::unique_ptr<SimModelInfo[]> table;
    if (!table) {
        table = std::make_unique<SimModelInfo[]>(65536);
        for (std::uint32_t i = 0; i < 65536; ++i) {
            table[i].wheelScaleA = 1.0f;
            table[i].wheelScaleB = 1.0f;
        }
    }
    return table;
}

}  // namespace

void setPendingPoolSize(std::uint32_t slots) { pendingPoolSize() = slots; }

SimPool* createVehiclePool(std::uint32_t slots) {
    PoolStorage& storage = poolStorage();
    storage.vehicles = std::make_unique<SimVehicle[]>(slots);  // value-initialised: all zero
    storage.pool = SimPool{storage.vehicles.get(), 0, slots};
    vehiclePoolVariable() = &storage.pool;
    return &storage.pool;
}

void releaseVehiclePool() {
    vehiclePoolVariable() = nullptr;
    poolStorage().vehicles.reset();
    poolStorage().pool = SimPool{};
}

SimPool* currentVehiclePool() { return vehiclePoolVariable(); }

SimVehicle* vehicleInSlot(std::uint32_t slot) { return &poolStorage().vehicles[slot]; }

SimModelInfo* modelInfo(std::uint16_t modelIndex) { return &modelInfoTable()[modelIndex]; }

void setWheelScales(std::uint16_t modelIndex, float wheelScaleA, float wheelScaleB) {
    modelInfo(modelIndex)->wheelScaleA = wheelScaleA;
    modelInfo(modelIndex)->wheelScaleB = wheelScaleB;
}

HostActivity& hostActivity() {
    static HostActivity activity;
    return activity;
}

__attribute__((force_align_arg_pointer)) std::int32_t simCreateVehiclePool() {
    ++hostActivity().poolCreations;
    return static_cast<std::int32_t>(
        reinterpret_cast<std::uintptr_t>(createVehiclePool(pendingPoolSize())));
}

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simConstructVehicle(
    SimVehicle* vehicle) {
    ++hostActivity().constructions;
    return static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(vehicle));
}

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simDestroyVehicle(SimVehicle*) {
    ++hostActivity().destructions;
    return 0;
}

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t simRenderVehicle(
    SimVehicle* vehicle) {
    ++hostActivity().renders;
    HostCallLog& log = hostCallLog();
    if (log.recording) log.drawings.push_back(drawVehicle(vehicle));
    return 1;
}

}  // namespace hostsim
