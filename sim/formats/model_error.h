#pragma once
// A model file that cannot be read: the message names the file, the place in it and the problem,
// for example
//   bike.glb: nodes[12].children[0]: node 12 is its own ancestor (nodes[12] > nodes[3] > nodes[12])

#include "sim/formats/bad_input.h"

namespace sim {

struct ModelError : BadInput {
    using BadInput::BadInput;
};

}  // namespace sim
