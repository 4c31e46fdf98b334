// Measures the update pass against its floor, side by side in one run: the floor walks the same
// frame trees, asking the host for each name and testing the "vx_" prefix, and nothing more.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

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

// Median over rounds; in each round the floor and the full pass run back to back on the same
// passes, so that both see the same machine.
Figures measure(const hostsim::FrameSpec& model, int vehicles, int passesPerRound, int rounds) {
    bench::Fleet fleet(model, vehicles);
    int pass = 0;
    // Configure every component first: later passes are ordinary ones.
    for (; pass < 3; ++pass) {
        bench::advanceClock(pass);
        fleet.driveInputs(pass);
        for (std::size_t i = 0; i < fleet.size(); ++i) updateVehicle(fleet.vehicle(i), fleet.record(i));
    }

    std::vector<double> floors, fulls;
    std::uint64_t allocations = 0, measuredPasses = 0;
    volatile std::uint32_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto floorStart = Clock::now();
        for (int p = 0; p < passesPerRound; ++p) {
            for (std::size_t i = 0; i < fleet.size(); ++i) sink = sink + bench::walkNamesOnly(fleet.rootFrame(i));
        }
        const auto floorEnd = Clock::now();

        const std::uint64_t allocationsBefore = bench::allocationCount();
        const auto fullStart = Clock::now();
        for (int p = 0; p < passesPerRound; ++p, ++pass) {
            bench::advanceClock(pass);
            fleet.driveInputs(pass);
            for (std::size_t i = 0; i < fleet.size(); ++i) updateVehicle(fleet.vehicle(i), fleet.record(i));
        }
        const auto fullEnd = Clock::now();
        allocations += bench::allocationCount() - allocationsBefore;
        measuredPasses += static_cast<std::uint64_t>(passesPerRound) * fleet.size();

        const double renders = static_cast<double>(passesPerRound) * static_cast<double>(fleet.size());
        floors.push_back(std::chrono::duration<double, std::nano>(floorEnd - floorStart).count() / renders);
        fulls.push_back(std::chrono::duration<double, std::nano>(fullEnd - fullStart).count() / renders);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    return {median(floors), median(fulls), static_cast<double>(allocations) / static_cast<double>(measuredPasses)};
}

void print(const char* label, std::size_t frames, const Figures& f) {
    std::printf("%-22s %6zu %12.0f %12.0f %7.2fx %10.3f\n", label, frames, f.floorNanoseconds, f.fullNanoseconds,
                f.fullNanoseconds / f.floorNanoseconds, f.allocationsPerPass);
}

}  // namespace

int main() {
    // The substitute host's own call records are not part of what the host would do.
    hostsim::hostCallLog().recording = false;

    std::printf("Update pass against its floor (ns per vehicle render, median of rounds)\n\n");
    std::printf("%-22s %6s %12s %12s %8s %10s\n", "model", "frames", "floor ns", "full ns", "ratio", "allocs/pass");
    const hostsim::FrameSpec reference = bench::referenceBike();
    print("reference, 50 vehicles", 60, measure(reference, 50, 40, 15));
    for (int frames : {10, 100, 1000}) {
        const hostsim::FrameSpec model = bench::generatedModel(frames);
        char label[32];
        std::snprintf(label, sizeof label, "generated, 50 vehicles");
        print(label, static_cast<std::size_t>(frames), measure(model, 50, frames >= 1000 ? 4 : 40, 15));
    }
    return 0;
}
