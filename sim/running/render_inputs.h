#pragma once
// The inputs of a render as the library sees them, computed by the library's own code from the
// host's state, so that a trace can say what each render had to work with.

#include "hostsim/host_layout.h"
#include "sim/formats/trace_lines.h"

namespace sim {

// Reads the vehicle and the host's clock as they stand; call it just before the render.
RenderInputs renderInputsOf(const hostsim::SimVehicle& vehicle);

}  // namespace sim
