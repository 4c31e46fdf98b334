#pragma once
// Stand-ins for the nine animators, handed to the walk in place of the library's: each records its
// call.

#include <string>
#include <vector>

#include "animation/animator_table.h"
#include "animation/component_state.h"

namespace recording {

struct AnimatorCall {
    int animator;  // position in the pass's order, 0 to 8
    std::string name;
    HostFrame* frame;
    VXData* record;
    CVehicle* vehicle;
};

struct Recorder {
    std::vector<AnimatorCall> calls;
};

Recorder& recorder();

// Entry i records animator i.
extern const AnimatorTable animators;

}  // namespace recording
