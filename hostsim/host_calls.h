#pragma once
// What the library asked of the host: every frame rotation and object update, in call order.

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

    void clear() {
        rotations.clear();
        updates.clear();
    }
};

HostCallLog& hostCallLog();

}  // namespace hostsim
