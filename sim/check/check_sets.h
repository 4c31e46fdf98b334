#pragma once
// Link sets and gear-meter displays modelled as groups. The chain and the gear meter show and
// hide a child frame's own objects only, not those of the frames below it, so a set whose objects
// all hang below it never hides. Exporters write such a group for several meshes, since a model
// node holds one mesh.

#include "hostsim/sim_model.h"
#include "sim/check/check_names.h"

namespace sim::check {

// A warning per such child of the frame, for each chain or gear meter the findings hold.
void checkSetsAsGroups(const hostsim::FrameShape& frame, FrameFindings& findings);

}  // namespace sim::check
