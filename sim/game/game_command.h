#pragma once
// `vorlix-sim game PATH-TO-GAME.exe`: tells a player whether Vorlix supports their game.

#include <iosfwd>
#include <string>

namespace sim::game {

// Reads and checks the executable, writes the findings to out or the one reason it cannot be read
// to error, and returns the exit status: 0 supported and as expected, 1 not (see game_check.h), 2
// not a readable executable.
int gameCommand(const std::string& path, std::ostream& out, std::ostream& error);

}  // namespace sim::game
