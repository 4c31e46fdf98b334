#pragma once
// run and demo: a scene in the substitute host, its trace written as the ride goes and its report
// made from the same records. report: the report of a ride from its saved trace.

#include "sim/cli/arguments.h"

namespace sim::cli {

int runCommand(const Arguments& arguments);
int demoCommand(const Arguments& arguments);
int reportCommand(const Arguments& arguments);

}  // namespace sim::cli
