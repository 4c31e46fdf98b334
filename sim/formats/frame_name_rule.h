#pragma once
// What a frame name may hold, in scenes and models alike: any UTF-8 text without control
// characters. The host hands the library a name as zero-terminated bytes, and the checker and the
// report show a name on a line of its own: a control character would cut or break it.

#include <string>
#include <string_view>

namespace sim {

// Why the name, well-formed UTF-8, cannot be a frame's name ("frame names must not hold control
// characters: byte 0x07 at position 3"), or empty when it can.
std::string frameNameFault(std::string_view name);

}  // namespace sim
