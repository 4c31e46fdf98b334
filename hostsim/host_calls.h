#pragma once
// What the library asked of the host: every frame rotation, object update and name query, in call
// order; and what the host's render function drew.

#include <array>
#include <cstdint>
#include <vector>

#include "hostsim/host_layout.h"

namespace hostsim {

struct RotationCall {
    SimFrame* frame;
    char axis;  // 'x', 'y' or 'z' by the axis vector passed; '?' for any other vector
    float angle;
};

// A frame as the render function found it: its orientation, and for each attached object in list
// order whether it carried the render flag.
struct DrawnFrame {
    const SimFrame* frame;
    std::array<float, 9> orientation;
    std::vector<bool> objectsRendered;
    bool operator==(const DrawnFrame&) const = default;
};

// One run of the render function: the vehicle's frames in depth-first pre-order from the root. The
// library animates before the host draws, so this is what the player sees of that render.
struct Drawing {
    const SimVehicle* vehicle;
    std::vector<DrawnFrame> frames;
    bool operator==(const Drawing&) const = default;
};

struct HostCallLog {
    bool recording = true;  // switched off to measure the library without the bookkeeping
    std::vector<RotationCall> rotations;
    std::vector<SimFrame*> updates;
    std::vector<SimFrame*> nameQueries;  // frames whose name was asked for
    std::vector<Drawing> drawings;

    void clear() {
        rotations.clear();
        updates.clear();
        nameQueries.clear();
        drawings.clear();
    }
};

HostCallLog& hostCallLog();

// What the render function draws of the vehicle at this moment.
Drawing drawVehicle(const SimVehicle* vehicle);

}  // namespace hostsim
