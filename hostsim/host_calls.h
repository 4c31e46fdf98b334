#pragma once
// What the library asked of the host: every frame rotation, object update and name query, in call
// order.

#include <cstdint>
#include <vector>

#include "hostsim/host_layout.h"

namespace hostsim {

struct RotationCall {
    SimFrame* frame;
    char axis;  // 'x', 'y' or 'z' by the axis vector passed; '?' for any other vector
    float angle;
};

struct HostCallLog {
    bool recording = true;  // switched off to measure the library without the bookkeeping
    std::vector<RotationCall> rotations;
    std::vector<SimFrame*> updates;
    std::vector<SimFrame*> nameQueries;  // frames whose name was asked for

    void clear() {
        rotations.clear();
        updates.clear();
        nameQueries.clear();
    }
};

HostCallLog& hostCallLog();

}  // namespace hostsim
