#pragma once
// A trace written to a file as a ride runs, or to standard output for "-" or no path.

#include <functional>
#include <string>

#include "sim/formats/trace_sink.h"

namespace sim {

// Opens the file, hands run() the trace writer and finishes the file. When run() throws BadInput
// (the ride could not start), the file is removed, so no empty trace is left behind. Throws
// BadInput when the file cannot be made, and runtime_error when a write failed.
void writeTraceFile(const std::string& path, const std::function<void(TraceSink&)>& run);

}  // namespace sim
