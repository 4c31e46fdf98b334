#pragma once
// Where the records of a ride go as they are made: the trace writer writes them as text, the ride
// builder makes a ride of them. A run hands each record to one sink; TraceFanOut feeds two.

#include "sim/formats/trace_lines.h"

namespace sim {

class TraceSink {
  public:
    virtual ~TraceSink() = default;
    virtual void take(const TraceStart& line) = 0;
    virtual void take(const TraceCreate& line) = 0;
    virtual void take(const TraceRender& line) = 0;
    virtual void take(const TraceDestroy& line) = 0;
    virtual void take(const TraceEnd& line) = 0;
};

class TraceFanOut final : public TraceSink {
  public:
    TraceFanOut(TraceSink& first, TraceSink& second) : first_(first), second_(second) {}
    void take(const TraceStart& line) override { both(line); }
    void take(const TraceCreate& line) override { both(line); }
    void take(const TraceRender& line) override { both(line); }
    void take(const TraceDestroy& line) override { both(line); }
    void take(const TraceEnd& line) override { both(line); }

  private:
    template <typename Line>
    void both(const Line& line) {
        first_.take(line);
        second_.take(line);
    }
    TraceSink& first_;
    TraceSink& second_;
};

}  // namespace sim
