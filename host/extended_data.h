#pragma once
// One record per host vehicle, created and released with the host's vehicle object and found by
// the vehicle's pool slot.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <vector>

#include "host/host_interface.h"

namespace plugin {

template <class Object>
class ExtenderInterface;

// Anything that follows the host's vehicle objects. Registering the first one connects the
// registry to the pool, creation and destruction events.
template <>
class ExtenderInterface<CVehicle> {
  public:
    ExtenderInterface(const ExtenderInterface&) = delete;
    ExtenderInterface& operator=(const ExtenderInterface&) = delete;

    virtual void OnPoolAllocated() = 0;
    virtual void OnObjectCreated(CVehicle* vehicle) = 0;
    virtual void OnObjectDestroyed(CVehicle* vehicle) = 0;

  protected:
    ExtenderInterface();
    // Leaves the registry, so that an event raised after an interface is gone cannot reach it.
    ~ExtenderInterface();
};

struct ExtenderRegistry {
    std::vector<ExtenderInterface<CVehicle>*> interfaces;
    std::uint8_t callbacksInstalled = 0;
};

// Created on first use, released at unload.
ExtenderRegistry& extenderRegistry();

// The event callbacks: each reaches every registered interface in registration order.
void notifyPoolAllocated();
void notifyObjectCreated(CVehicle* vehicle);
void notifyObjectDestroyed(CVehicle* vehicle);

// The vehicle's slot in the host's pool, or nothing when there is no pool or the vehicle lies
// before its start.
std::optional<std::uint32_t> poolSlotOf(const CVehicle* vehicle);

template <class Data>
class VehicleExtendedData : public ExtenderInterface<CVehicle> {
  public:
    VehicleExtendedData() = default;
    ~VehicleExtendedData() { releaseAll(); }

    // Sizes the slot array to the pool. A second pool releases what the first one held.
    void OnPoolAllocated() override {
        releaseAll();
        void* pool = host::vehiclePool();
        if (pool == nullptr) return;
        const std::uint32_t count = host::poolSlotCount(pool);
        // A pool too large to follow leaves the store empty: its vehicles go unanimated.
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(Data*)) return;
        Data** array = new (std::nothrow) Data*[count];
        if (array == nullptr) return;
        for (std::uint32_t i = 0; i < count; ++i) array[i] = nullptr;
        slots = array;
        slotCount = count;
    }

    // Gives the vehicle a fresh record. A record still in the slot is released first; a record
    // that cannot be made leaves the slot empty.
    void OnObjectCreated(CVehicle* vehicle) override {
        Data** slot = slotOf(vehicle);
        if (slot == nullptr) return;
        delete *slot;
        *slot = new (std::nothrow) Data(vehicle);
    }

    void OnObjectDestroyed(CVehicle* vehicle) override {
        Data** slot = slotOf(vehicle);
        if (slot == nullptr) return;
        delete *slot;
        *slot = nullptr;
    }

    // The vehicle's record, or null when it has none or lies outside the pool.
    Data* RecordOf(const CVehicle* vehicle) const {
        Data** slot = slotOf(vehicle);
        return slot == nullptr ? nullptr : *slot;
    }

    Data** slots = nullptr;
    std::uint32_t slotCount = 0;

  private:
    Data** slotOf(const CVehicle* vehicle) const {
        if (slots == nullptr) return nullptr;
        const std::optional<std::uint32_t> index = poolSlotOf(vehicle);
        if (!index || *index >= slotCount) return nullptr;
        return &slots[*index];
    }

    void releaseAll() {
        if (slots == nullptr) return;
        for (std::uint32_t i = 0; i < slotCount; ++i) {
            delete slots[i];
            slots[i] = nullptr;
        }
        delete[] slots;
        slots = nullptr;
        slotCount = 0;
    }
};

}  // namespace plugin
