#pragma once
// A ride as its trace tells it: every vehicle's frames, what each of its components showed after
// every render, and the speed and gear the library saw. Read from the trace alone: the rotations
// the library asked for are accumulated per frame, the flag bytes it set are kept per object.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "animation/component_catalogue.h"

namespace sim::report {

using Samples = std::vector<std::pair<double, double>>;  // (tick, value)

struct RideFrame {
    std::string name;
    int parent = -1;
    std::vector<int> children;
    int firstObject = 0;  // index of its first attached object in the vehicle's flags
    int objects = 0;
};

// A component that a frame's name calls for; a frame with two keys has two.
struct RideComponent {
    const ComponentEntry* entry;
    int frame;
    std::vector<int>
        rows;  // the child frames it shows in turn or turns: link sets, displays, wheels
    // At creation and after each render: the frame's angle, the row shown (-1 none, -2 several) or
    // the odometer's reading.
    Samples values;
    int steps = 0;  // changes of the row shown, or of the reading
};

struct RideVehicle {
    std::string name;
    std::int32_t vehicleClass = 0;
    std::uint32_t slot = 0, created = 0, destroyed = 0, renders = 0;
    std::map<std::string, int> rendersBySite;
    std::vector<RideFrame> frames;
    std::vector<std::uint8_t> flags;  // every attached object's flag byte, frame by frame
    std::vector<double> angles;       // the rotation accumulated per frame, whatever its axis
    std::vector<RideComponent> components;
    Samples speed, gear;  // at each render: the library's speed estimate in km/h, and the gear
};

struct Ride {
    std::int32_t version = 0;
    std::vector<std::uint32_t> patchedSites;
    std::uint32_t ticks = 0;
    bool restored = false;
    std::vector<std::string> log;
    std::vector<RideVehicle> vehicles;  // in the order of their first creation
};

// Throws TraceError for a trace that cannot be read or that renders a vehicle it never created.
Ride readRide(std::string_view traceText, std::string_view fileName);

// Whether the frame's objects have the render flag: for a flip-book, the row it shows.
bool isShown(const RideVehicle& vehicle, int frame);

}  // namespace sim::report
