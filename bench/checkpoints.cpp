#include "checkpoints.h"

#ifdef __linux__
#include <linux/perf_event.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>
#endif

#include "instruction_marks.h"

namespace bench {

#ifdef __linux__

namespace {

int openInstructionCounter() {
    perf_event_attr attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.type = PERF_TYPE_HARDWARE;
    attributes.size = sizeof attributes;
    attributes.config = PERF_COUNT_HW_INSTRUCTIONS;
    attributes.exclude_kernel = 1;
    attributes.exclude_hv = 1;
    // This thread on any processor; fails where the processor or the kernel offers no counter.
    return static_cast<int>(syscall(SYS_perf_event_open, &attributes, 0, -1, -1, 0));
}

}  // namespace

Checkpoints::Checkpoints(bool guestMarks)
    : counter_(openInstructionCounter()), guestMarks_(guestMarks) {}

Checkpoints::~Checkpoints() {
    if (counter_ >= 0) close(counter_);
}

Checkpoint Checkpoints::take() {
    Checkpoint point{std::chrono::steady_clock::now(), std::nullopt};
    std::uint64_t count = 0;
    if (counter_ >= 0 && read(counter_, &count, sizeof count) == sizeof count) {
        point.hardwareInstructions = count;
    }
    // Last, so that the instructions between two marks hold the same measuring work as the times.
    if (guestMarks_) {
        syscall(VORLIX_MARK_SYSCALL, VORLIX_MARK_TAG);
        ++guestMarksTaken_;
    }
    return point;
}

#else

Checkpoints::Checkpoints(bool guestMarks) : guestMarks_(guestMarks) {}
Checkpoints::~Checkpoints() = default;
Checkpoint Checkpoints::take() { return {std::chrono::steady_clock::now(), std::nullopt}; }

#endif

}  // namespace bench
