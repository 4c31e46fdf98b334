#pragma once
// Runs a scene in the substitute host with the real library loaded, and hands what the library did
// to the host, record by record, to a trace sink.

#include <functional>
#include <string>

#include "sim/formats/scene.h"
#include "sim/formats/bad_input.h"
#include "sim/formats/trace_sink.h"

namespace sim {

// The library could not be loaded: nothing has run.
struct LoadError : BadInput {
    using BadInput::BadInput;
};

inline constexpr const char* libraryLogFile = "Vorlix.log";

struct RunOptions {
    std::string libraryPath;
    // Called after every tick with the number of ticks done, while the host state of that tick
    // is still in place.
    using Progress = std::function<void(std::uint32_t done, std::uint32_t total)>;
    Progress progress;
};

// Runs the scene once. The host image is process-wide, so one run at a time.
void runScene(const Scene& scene, const RunOptions& options, TraceSink& trace);

}  // namespace sim
