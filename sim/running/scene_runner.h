#pragma once
// Runs a scene in the substitute host with the real library loaded, and traces what the library
// did to the host.

#include <functional>
#include <stdexcept>
#include <string>

#include "sim/formats/scene.h"
#include "sim/formats/trace_writer.h"

namespace sim {

// The library could not be loaded: nothing has run.
struct LoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
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
void runScene(const Scene& scene, const RunOptions& options, TraceWriter& trace);

}  // namespace sim
