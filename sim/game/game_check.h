#pragma once
// What the library will make of a game executable as it lies on disk: which build it is, whether
// the library supports it, and whether the call sites it diverts hold what it expects.

#include <string>
#include <string_view>

namespace sim::game {

struct GameCheck {
    std::string text;  // for the player, one finding per line
    int status;        // 0 supported and as expected, or cli::exitGameNotReady
};

// Throws PeError, naming the file, if the bytes are not a 32-bit executable that can be read.
GameCheck checkGame(std::string_view bytes, const std::string& fileName);

}  // namespace sim::game
