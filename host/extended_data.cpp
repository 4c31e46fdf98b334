#include "host/extended_data.h"

#include <algorithm>

#include "host/events/events.h"

namespace plugin {

ExtenderRegistry& extenderRegistry() {
    static ExtenderRegistry registry;
    return registry;
}

ExtenderInterface<CVehicle>::ExtenderInterface() {
    ExtenderRegistry& registry = extenderRegistry();
    registry.interfaces.push_back(this);
    if (registry.callbacksInstalled == 0) {
        poolReadyEvent().AddCallback(poolReadyEvent().after, notifyPoolAllocated, 0);
        vehicleCreatedEvent().AddCallback(vehicleCreatedEvent().before, notifyObjectCreated, 0);
        vehicleDestroyedEvent().AddCallback(vehicleDestroyedEvent().after, notifyObjectDestroyed,
                                            0);
        registry.callbacksInstalled = 1;
    }
}

ExtenderInterface<CVehicle>::~ExtenderInterface() {
    auto& interfaces = extenderRegistry().interfaces;
    interfaces.erase(std::remove(interfaces.begin(), interfaces.end(), this), interfaces.end());
}

namespace {

// By index: an interface may register another while it hears of the event.
template <class Notify>
void notifyEach(Notify notify) {
    const std::vector<ExtenderInterface<CVehicle>*>& interfaces = extenderRegistry().interfaces;
    for (std::size_t i = 0; i < interfaces.size(); ++i) notify(*interfaces[i]);
}

}  // namespace

void notifyPoolAllocated() {
    notifyEach([](ExtenderInterface<CVehicle>& extender) { extender.OnPoolAllocated(); });
}

void notifyObjectCreated(CVehicle* vehicle) {
    notifyEach(
        [vehicle](ExtenderInterface<CVehicle>& extender) { extender.OnObjectCreated(vehicle); });
}

void notifyObjectDestroyed(CVehicle* vehicle) {
    notifyEach(
        [vehicle](ExtenderInterface<CVehicle>& extender) { extender.OnObjectDestroyed(vehicle); });
}

std::optional<std::uint32_t> poolSlotOf(const CVehicle* vehicle) {
    const void* pool = host::vehiclePool();
    if (pool == nullptr) return std::nullopt;
    const auto distance = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(vehicle) -
                                                    host::poolObjects(pool));
    if (distance < 0) return std::nullopt;
    return static_cast<std::uint32_t>(distance / host::vehicleStride);
}

}  // namespace plugin
