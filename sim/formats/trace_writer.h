#pragma once
// Writes a trace: one JSON object a line, each line ending in a single LF on every platform, so
// that the traces of the Linux and the Windows build compare byte for byte.

#include <cstdio>
#include <string>

#include "sim/formats/trace_sink.h"

namespace sim {

class TraceWriter final : public TraceSink {
  public:
    // Takes over a stream opened in binary mode; it is flushed, not closed, at the end.
    explicit TraceWriter(std::FILE* out) : out_(out) {}

    void take(const TraceStart& line) override;
    void take(const TraceCreate& line) override;
    void take(const TraceRender& line) override;
    void take(const TraceDestroy& line) override;
    void take(const TraceEnd& line) override;

    // False when a write failed (disk full, closed pipe).
    bool flush();

  private:
    void emit();
    std::FILE* out_;
    std::string line_;  // the line being written
    bool ok_ = true;
};

// A rotation and a flag change as a render line lists them: [frame,"axis",angle] with the angle's
// shortest text (non-finite angles as strings), and [frame,object,flags].
void appendRotation(std::string& out, const TraceRotation& rotation);
void appendFlagChange(std::string& out, const hostsim::FlagChange& change);

}  // namespace sim
