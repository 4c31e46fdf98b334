#pragma once
// The built-in ride for each kind of vehicle, for a model that comes without a scene: pull away,
// every gear up and down, front and rear braking, clutch strokes with every change, a stop and a
// roll backwards; long enough for the odometer to turn and the chain to run.

#include <string>

#include "hostsim/sim_model.h"
#include "sim/formats/scene.h"
#include "sim/formats/vehicle_kind.h"

namespace sim {

// A scene with one vehicle of the kind, named vehicleName, with the model, riding the kind's ride
// through gears 1 to `gears` (none: it stays in gear 0).
Scene standardRide(VehicleKind kind, int gears, const hostsim::FrameShape& model,
                   const std::string& vehicleName);

}  // namespace sim
