#pragma once
// check: what the library will make of the frame names of every model of each file, a scene's
// models or a glTF model as a vehicle of the given kind.

#include "sim/cli/arguments.h"

namespace sim::cli {

// A bad file is reported and the others are still checked; the status is the worst of all. With
// --format json, one document for programs instead of the text.
int checkCommand(const Arguments& arguments);

}  // namespace sim::cli
