#pragma once
// Writes a trace: one JSON object a line, each line ending in a single LF on every platform, so
// that the traces of the Linux and the Windows build compare byte for byte.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "hostsim/sim_model.h"

namespace sim {

inline constexpr int traceFormat = 1;

struct TraceRotation {
    int frameIndex;
    char axis;  // 'x', 'y' or 'z'
    float angle;
};

class TraceWriter {
  public:
    // Takes over a stream opened in binary mode; it is flushed, not closed, at the end.
    explicit TraceWriter(std::FILE* out) : out_(out) {}

    void start(std::int32_t version, const std::vector<std::uint32_t>& patchedSites);
    void create(std::uint32_t tick, const std::string& vehicle, std::uint32_t slot,
                const std::vector<std::string>& frames);
    void render(std::uint32_t tick, const std::string& vehicle, const char* site,
                const std::vector<TraceRotation>& rotations, const std::vector<int>& updates,
                const std::vector<hostsim::FlagChange>& flags);
    void destroy(std::uint32_t tick, const std::string& vehicle, std::uint32_t slot);
    void end(bool restored, const std::vector<std::string>& log);

    // False when a write failed (disk full, closed pipe).
    bool flush();

  private:
    void emit(std::string& line);
    std::FILE* out_;
    bool ok_ = true;
};

}  // namespace sim
