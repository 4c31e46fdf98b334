#pragma once
// Guest instruction counts: this program run again under qemu's user-mode emulator with the
// project's instruction-counting plugin, which writes a mark at every measurement point.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// The counts written so far to a marks file, in order.
std::vector<std::uint64_t> readMarks(const std::string& path);

struct GuestRun {
    bool available = false;
    std::string unavailableBecause;  // when not available: what is missing
    std::string output;              // the counted run's standard output
    int exitStatus = 0;
};

// Runs this program under qemu-i386 with the plugin and the given arguments, plus
// "--guest-counts MARKS_FILE". Not available where qemu-i386, the plugin or this platform's
// process interface is missing.
GuestRun runCounted(const std::string& arguments);

}  // namespace bench
