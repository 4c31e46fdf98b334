#include "sim/game/game_command.h"

#include <ostream>

#include "sim/formats/user_files.h"
#include "sim/game/game_check.h"

namespace sim::game {

int gameCommand(const std::string& path, std::ostream& out) {
    const std::string bytes =
        readInputFile(path, {"a game executable", std::size_t{256} << 20,
                             "give the game's main program file (.exe) in it"});
    const GameCheck check = checkGame(bytes, path);
    out << check.text;
    return check.status;
}

}  // namespace sim::game
