#pragma once
// Writes a trace: one JSON object a line, each line ending in a single LF on every platform, so
// that the traces of the Linux and the Windows build compare byte for byte.

#include <cstdio>
#include <string>

#include "sim/formats/trace_lines.h"

namespace sim {

class TraceWriter {
  public:
    // Takes over a stream opened in binary mode; it is flushed, not closed, at the end.
    explicit TraceWriter(std::FILE* out) : out_(out) {}

    void write(const TraceStart& line);
    void write(const TraceCreate& line);
    void write(const TraceRender& line);
    void write(const TraceDestroy& line);
    void write(const TraceEnd& line);

    // False when a write failed (disk full, closed pipe).
    bool flush();

  private:
    void emit();
    std::FILE* out_;
    std::string line_;  // the line being written
    bool ok_ = true;
};

// Everything written to a file opened for update (a trace in a temporary file), from its start.
std::string writtenText(std::FILE* file);

}  // namespace sim
