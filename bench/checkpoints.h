#pragma once
// The benchmark's measurement points. Each reads the clock, the hardware instruction counter where
// the processor offers one to this program, and, when the program runs under the instruction
// counting qemu plugin, asks the plugin for a mark.

#include <chrono>
#include <cstdint>
#include <optional>

namespace bench {

struct Checkpoint {
    std::chrono::steady_clock::time_point time;
    std::optional<std::uint64_t> hardwareInstructions;
};

class Checkpoints {
  public:
    explicit Checkpoints(bool guestMarks);
    ~Checkpoints();
    Checkpoints(const Checkpoints&) = delete;
    Checkpoints& operator=(const Checkpoints&) = delete;

    Checkpoint take();
    bool hasHardwareCounter() const { return counter_ >= 0; }
    std::uint64_t guestMarksTaken() const { return guestMarksTaken_; }

  private:
    int counter_ = -1;  // hardware counter of user-mode instructions of this thread, if any
    bool guestMarks_;
    std::uint64_t guestMarksTaken_ = 0;
};

}  // namespace bench
