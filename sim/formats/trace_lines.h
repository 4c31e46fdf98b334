#pragma once
// The lines of a trace as records: what the runner writes, and what a reader gets back.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "hostsim/sim_model.h"
#include "sim/formats/render_site.h"

namespace sim {

inline constexpr int traceFormat = 1;

struct TraceStart {
    std::int32_t version = 0;  // the imitated host build
    std::vector<std::uint32_t> patchedSites;
    std::uint32_t ticks = 0;
};

// A frame of a created vehicle; its position in TraceCreate::frames is its index in later lines.
struct TraceFrame {
    std::string name;
    int parent = -1;              // the parent's index; -1 for the root
    int objects = 0;              // attached objects
    std::uint8_t startFlags = 0;  // the flag byte each of its objects starts with
};

struct TraceCreate {
    std::uint32_t tick = 0;
    std::string vehicle;
    std::uint32_t slot = 0;
    std::int32_t vehicleClass = 0;
    std::vector<TraceFrame> frames;  // depth-first pre-order, root first
};

struct TraceRotation {
    int frameIndex;
    char axis;  // 'x', 'y' or 'z'
    float angle;
};

// What the library had to work with on a render, computed by the library's own code from the
// host's state just before the render.
struct RenderInputs {
    double speedEstimate = 0;  // km/h
    std::int32_t passSpeed = 0;
    std::uint32_t passTime = 0;
    float timeStep = 0;
    std::uint8_t currentGear = 0;
    std::uint8_t vehicleFlags = 0;
    float rearBrakeInput = 0;
    float driveInput = 0;
};

struct TraceRender {
    std::uint32_t tick = 0;
    std::string vehicle;
    RenderSite site = RenderSite::call;  // one of renderedSites
    std::vector<TraceRotation> rotations;
    std::vector<int> updates;  // frame indexes
    std::vector<hostsim::FlagChange> flags;
    RenderInputs inputs;
};

struct TraceDestroy {
    std::uint32_t tick = 0;
    std::string vehicle;
    std::uint32_t slot = 0;
};

struct TraceEnd {
    bool restored = false;
    std::vector<std::string> log;
};

using TraceLine = std::variant<TraceStart, TraceCreate, TraceRender, TraceDestroy, TraceEnd>;

}  // namespace sim
