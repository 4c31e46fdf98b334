#include "host/events/events.h"

namespace plugin {

PoolReadyEvent& poolReadyEvent() {
    static PoolReadyEvent event;
    return event;
}

VehicleCreatedEvent& vehicleCreatedEvent() {
    static VehicleCreatedEvent event;
    return event;
}

VehicleDestroyedEvent& vehicleDestroyedEvent() {
    static VehicleDestroyedEvent event;
    return event;
}

VehicleRenderedEvent& vehicleRenderedEvent() {
    static VehicleRenderedEvent event;
    return event;
}

}  // namespace plugin
