#pragma once
// The subcommands of vorlix-sim, one row each: the usage, the unknown-command message and the
// dispatch all come from this table, so a new subcommand is one row and its run function.

#include <CLI/CLI.hpp>
#include <span>
#include <string>

#include "sim/cli/arguments.h"

namespace sim::cli {

struct Subcommand {
    const char* name;
    const char* help;
    void (*addOptions)(CLI::App& command, Arguments& arguments);
    int (*run)(const Arguments& arguments);  // returns the exit status
};

std::span<const Subcommand> subcommands();

// "run, check, ... or game": every name, in the table's order
std::string subcommandNames();

}  // namespace sim::cli
