#pragma once
// run and demo: a scene in the substitute host, its trace written as the ride goes and its report
// made from the same records.

#include "sim/cli/arguments.h"

namespace sim::cli {

int runCommand(const Arguments& arguments);
int demoCommand(const Arguments& arguments);

}  // namespace sim::cli
