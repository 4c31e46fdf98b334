// Measures the update pass against its floor, side by side in one run: the floor walks the same
// frame trees, asking the host for each name and testing the "vx_" prefix, and nothing more.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "allocation_counter.h"
#include "animation/update_pass.h"
#include "bench_models.h"
#include "hostsim/host_calls.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double floorNanoseconds;  // per vehicle render
    double fullNanoseconds;
    double allocationsPerPass;
};

// In every pass the floor and the full pass run back to back over the same vehicles, so that both
// see the same machine; the host's own input changes between passes are not timed. Each figure is
// the best round: interference from elsewhere only ever adds time.
Figures measure(const hostsim::FrameShape& model, int vehicles, int passesPerRound, int rounds) {
    bench::Fleet fleet(model, vehicles);
    int pass = 0;
    // Configure every component first: later passes are ordinary ones.
    for (; pass < 3; ++pass) {
        bench::advanceClock(pass);
        fleet.driveInputs(pass);
        for (std::size_t i = 0; i < fleet.size(); ++i) updateVehicle(fleet.vehicle(i), fleet.record(i));
    }

    double bestFloor = 1e300, bestFull = 1e300;
    std::uint64_t allocations = 0, measuredRenders = 0;
    volatile std::uint32_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        Clock::duration floorTime{}, fullTime{};
        for (int p = 0; p < passesPerRound; ++p, ++pass) {
            bench::advanceClock(pass);
            fleet.driveInputs(pass);
            const auto floorStart = Clock::now();
            for (std::size_t i = 0; i < fleet.size(); ++i) sink = sink + bench::walkNamesOnly(fleet.rootFrame(i));
            const auto fullStart = Clock::now();
            const std::uint64_t allocationsBefore = bench::allocationCount();
            for (std::size_t i = 0; i < fleet.size(); ++i) updateVehicle(fleet.vehicle(i), fleet.record(i));
            allocations += bench::allocationCount() - allocationsBefore;
            const auto fullEnd = Clock::now();
            floorTime += fullStart - floorStart;
            fullTime += fullEnd - fullStart;
        }
        const double renders = static_cast<double>(passesPerRound) * static_cast<double>(fleet.size());
        measuredRenders += static_cast<std::uint64_t>(renders);
        bestFloor = std::min(bestFloor, std::chrono::duration<double, std::nano>(floorTime).count() / renders);
        bestFull = std::min(bestFull, std::chrono::duration<double, std::nano>(fullTime).count() / renders);
    }
    return {bestFloor, bestFull, static_cast<double>(allocations) / static_cast<double>(measuredRenders)};
}

void print(const char* label, std::size_t frames, const Figures& f) {
    std::printf("%-22s %6zu %12.0f %12.0f %7.2fx %10.3f\n", label, frames, f.floorNanoseconds, f.fullNanoseconds,
                f.fullNanoseconds / f.floorNanoseconds, f.allocationsPerPass);
}

}  // namespace

int main() {
    // The substitute host's own call records are not part of what the host would do.
    hostsim::hostCallLog().recording = false;

    std::printf("Update pass against its floor (ns per vehicle render, best of rounds)\n\n");
    std::printf("%-22s %6s %12s %12s %8s %11s\n", "model", "frames", "floor ns", "full ns", "ratio", "allocs/pass");
    const hostsim::FrameShape reference = bench::referenceBike();
    print("reference, 50 vehicles", 60, measure(reference, 50, 40, 15));
    for (int frames : {10, 100, 1000}) {
        const hostsim::FrameShape model = bench::generatedModel(frames);
        print("generated, 50 vehicles", static_cast<std::size_t>(frames), measure(model, 50, frames >= 1000 ? 4 : 40, 15));
    }
    return 0;
}
