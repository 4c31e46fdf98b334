#include "sim/running/render_inputs.h"

#include "animation/speed_estimate.h"
#include "animation/update_pass.h"
#include "host/host_interface.h"

namespace sim {

RenderInputs renderInputsOf(const hostsim::SimVehicle& simVehicle) {
    // The substitute host's vehicle is the host's vehicle, at the host's own layout.
    auto* vehicle = reinterpret_cast<CVehicle*>(const_cast<hostsim::SimVehicle*>(&simVehicle));
    RenderInputs inputs;
    inputs.speedEstimate = estimateSpeed(vehicle);
    inputs.passSpeed = passSpeedFrom(inputs.speedEstimate);
    inputs.timeStep = host::timeStep();
    inputs.passTime = passTimeFrom(host::timeCounter(), host::timeStep());
    inputs.currentGear = host::currentGear(vehicle);
    inputs.vehicleFlags = host::vehicleFlags(vehicle);
    inputs.rearBrakeInput = host::rearBrakeInput(vehicle);
    inputs.driveInput = host::driveInput(vehicle);
    return inputs;
}

}  // namespace sim
