#pragma once
// Reads a trace back, line by line. Lines of kinds and fields that this version does not know are
// skipped, as readers of a format that may gain them must; a line of a kind it knows must hold
// every field this version writes, in range.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "sim/formats/bad_input.h"
#include "sim/formats/trace_lines.h"

namespace sim {

// A line that cannot be read: the message names the file, the line and column, the place in the
// line and the problem, for example
//   trace.jsonl:12:40: rotations[0][1]: expected "x", "y" or "z", got the string "w"
struct TraceError : BadInput {
    using BadInput::BadInput;
};

// The largest trace file that is read back.
inline constexpr std::size_t maxTraceBytes = std::size_t{512} << 20;

class TraceReader {
  public:
    // fileName is used in messages only; text must outlive the reader.
    TraceReader(std::string_view text, std::string_view fileName);

    // The next line of a known kind, or nothing at the end of the text.
    std::optional<TraceLine> next();

    // Refuses with a message placed at the start of the line returned last.
    [[noreturn]] void fail(const std::string& what) const;

  private:
    std::string_view text_;
    std::string fileName_;
    std::size_t at_ = 0;
    int lineNumber_ = 0;
};

}  // namespace sim
