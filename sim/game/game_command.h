#pragma once
// `vorlix-sim game PATH-TO-GAME.exe`: tells a player whether Vorlix supports their game.

#include <iosfwd>
#include <string>

namespace sim::game {

// Reads and checks the executable, writes the findings to out and returns the exit status: 0
// supported and as expected, or cli::exitGameNotReady. Throws BadInput, naming the file, when it
// is not an executable that can be read.
int gameCommand(const std::string& path, std::ostream& out);

}  // namespace sim::game
