#pragma once
// Input that vorlix-sim refuses: a bad command line, scene, model, trace or library. Each kind
// derives from BadInput, and the program reports every one of them with exit status 2.

#include <stdexcept>

namespace sim {

struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace sim
