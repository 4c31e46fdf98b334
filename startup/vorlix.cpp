// The library's start-up: three globals, constructed in this order when the host loads the library
// and destroyed in reverse order when it unloads it. Their constructors start everything.

#include "startup/vorlix.h"

#include "animation/component_state.h"
#include "animation/update_pass.h"
#include "host/events/events.h"
#include "host/extended_data.h"
#include "startup/log_file.h"

namespace {

// Opened by the Vorlix constructor; closed last at unload.
LogFile logStream;

// Every vehicle's record. Constructing it attaches the pool, creation and destruction hooks.
plugin::VehicleExtendedData<VXData> vehicleData;

Vorlix vorlix;

}  // namespace

Vorlix::Vorlix() {
    logStream.open("Vorlix.log");
    logStream.writeLine("Log started");
    auto& event = plugin::vehicleRenderedEvent();
    event.AddCallback(
        event.before, [this](CVehicle* vehicle) { onVehicleRender(vehicle); }, 0);
}

void Vorlix::onVehicleRender(CVehicle* vehicle) {
    if (VXData* record = vehicleData.RecordOf(vehicle)) updateVehicle(vehicle, *record);
}
