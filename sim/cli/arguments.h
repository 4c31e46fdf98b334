#pragma once
// What the command line gave one subcommand: each subcommand's options fill their fields of it.

#include <optional>
#include <string>
#include <vector>

#include "sim/formats/vehicle_kind.h"

namespace sim::cli {

struct Arguments {
    std::string scene, trace, report;
    std::vector<std::string> files;
    std::string model;
    std::string vehicle = vehicleKinds().front().name;
    std::optional<int> gears;  // the vehicle kind's default when empty
    std::string format = "text";
    std::string axes = "z-up";
    std::string out;
    bool watch = false;
    unsigned short port = 0;  // 0: one the system chooses
    std::string library;      // the one beside the program when empty
    std::string executable;
};

}  // namespace sim::cli
