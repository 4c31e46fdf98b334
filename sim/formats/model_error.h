#pragma once
// A model file that cannot be read: the message names the file, the place in it and the problem,
// for example
//   bike.glb: nodes[12].children[0]: node 12 is its own ancestor (nodes[12] > nodes[3] > nodes[12])

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/formats/bad_input.h"

namespace sim {

struct ModelError : BadInput {
    using BadInput::BadInput;
};

// A text from the file, shown in a message: printable, and not too long.
inline std::string shownInMessage(std::string_view text, std::size_t limit = 60) {
    std::string out;
    for (char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        out += byte >= 0x20 && byte != 0x7F ? c : '?';
    }
    return text.size() > limit ? out + "..." : out;
}

}  // namespace sim
