// Measures the update pass against its floor, side by side in one run: the floor walks the same
// frame trees, asking the host for each name and testing the "vx_" prefix, and nothing more.
//
//   vorlix-bench                         times (and hardware instruction counts where the
//                                        processor offers them), then guest instruction counts
//                                        from a second run under qemu with the counting plugin
//   vorlix-bench --check-guest-ratio R   counts the reference model under qemu and fails when
//                                        the full pass costs more than R times the floor
//   vorlix-bench --guest-counts FILE     the counted run itself (FILE: the plugin's marks)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "bench_models.h"
#include "checkpoints.h"
#include "guest_instructions.h"
#include "hostsim/host_calls.h"

namespace {

struct Model {
    const char* label;
    hostsim::FrameShape shape;
    int passesPerRound;
};

constexpr int vehicles = 50;
constexpr int rounds = 15;

std::vector<Model> models(bool referenceOnly) {
    std::vector<Model> list;
    list.push_back({"reference motorbike", bench::referenceBike(), 40});
    if (referenceOnly) return list;
    for (int frames : {10, 100, 1000}) {
        list.push_back({"generated", bench::generatedModel(frames), frames >= 1000 ? 4 : 40});
    }
    return list;
}

// Per vehicle render. Times: the best round, as interference from elsewhere only ever adds time.
// Instruction counts: the best pass, as passes differ in what the components have to do.
struct Figures {
    std::size_t frames = 0;
    double floorNanoseconds = 0, fullNanoseconds = 0;
    std::optional<double> floorHardware, fullHardware;
    std::optional<double> floorGuest, fullGuest;
    double allocationsPerPass = 0;
};

// Where one pass's three checkpoints stand: before the floor, between, after the full pass.
struct PassPoints {
    bench::Checkpoint start, between, end;
    std::uint64_t firstMark;
};

std::optional<double> bestHardware(const std::vector<PassPoints>& passes, bool full) {
    double best = std::numeric_limits<double>::infinity();
    for (const PassPoints& p : passes) {
        const auto& from = full ? p.between : p.start;
        const auto& to = full ? p.end : p.between;
        if (!from.hardwareInstructions || !to.hardwareInstructions) return std::nullopt;
        best = std::min(best,
                        static_cast<double>(*to.hardwareInstructions - *from.hardwareInstructions));
    }
    return best / vehicles;
}

// In every pass the floor and the full pass run back to back over the same vehicles, so that both
// see the same machine; the host's own input changes between passes are not measured.
Figures measure(const Model& model, bench::Checkpoints& checkpoints, const char* marksFile) {
    bench::Fleet fleet(model.shape, vehicles);
    int pass = fleet.warmUp();

    Figures figures;
    figures.frames = fleet.framesPerModel();
    figures.floorNanoseconds = figures.fullNanoseconds = std::numeric_limits<double>::infinity();
    std::vector<PassPoints> passes;
    std::uint64_t allocations = 0;
    volatile std::uint32_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        std::chrono::steady_clock::duration floorTime{}, fullTime{};
        for (int p = 0; p < model.passesPerRound; ++p, ++pass) {
            fleet.startTick(pass);
            PassPoints points;
            points.firstMark = checkpoints.guestMarksTaken();
            points.start = checkpoints.take();
            for (std::size_t i = 0; i < fleet.size(); ++i)
                sink = sink + bench::walkNamesOnly(fleet.rootFrame(i));
            points.between = checkpoints.take();
            const std::uint64_t allocationsBefore = bench::allocationCount();
            fleet.updateAll();
            allocations += bench::allocationCount() - allocationsBefore;
            points.end = checkpoints.take();
            floorTime += points.between.time - points.start.time;
            fullTime += points.end.time - points.between.time;
            passes.push_back(points);
        }
        const double renders = static_cast<double>(model.passesPerRound) * vehicles;
        const auto perRender = [&](auto time) {
            return std::chrono::duration<double, std::nano>(time).count() / renders;
        };
        figures.floorNanoseconds = std::min(figures.floorNanoseconds, perRender(floorTime));
        figures.fullNanoseconds = std::min(figures.fullNanoseconds, perRender(fullTime));
    }
    figures.allocationsPerPass =
        static_cast<double>(allocations) / static_cast<double>(passes.size());
    figures.floorHardware = bestHardware(passes, false);
    figures.fullHardware = bestHardware(passes, true);

    if (marksFile != nullptr) {
        const std::vector<std::uint64_t> marks = bench::readMarks(marksFile);
        double floorBest = std::numeric_limits<double>::infinity(), fullBest = floorBest;
        for (const PassPoints& p : passes) {
            if (p.firstMark + 2 >= marks.size()) break;
            const std::uint64_t* m = &marks[p.firstMark];
            floorBest = std::min(floorBest, static_cast<double>(m[1] - m[0]));
            fullBest = std::min(fullBest, static_cast<double>(m[2] - m[1]));
        }
        figures.floorGuest = floorBest / vehicles;
        figures.fullGuest = fullBest / vehicles;
    }
    return figures;
}

// The counted run: prints "guest MODEL FLOOR FULL" for each model.
int countedRun(const char* marksFile, bool referenceOnly) {
    bench::Checkpoints checkpoints(true);
    const std::vector<Model> list = models(referenceOnly);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Figures f = measure(list[i], checkpoints, marksFile);
        std::printf("guest %zu %.1f %.1f\n", i, *f.floorGuest, *f.fullGuest);
    }
    return 0;
}

struct GuestFigures {
    double floor, full;
};

// The counted run's figures by model, or the reason there are none.
std::vector<GuestFigures> guestFigures(bool referenceOnly, std::string& missing) {
    const bench::GuestRun run = bench::runCounted(referenceOnly ? "--reference-only" : "");
    std::vector<GuestFigures> figures;
    if (!run.available) {
        missing = run.unavailableBecause;
        return figures;
    }
    std::istringstream lines(run.output);
    std::string word;
    std::size_t index = 0;
    GuestFigures f{};
    while (lines >> word >> index >> f.floor >> f.full) {
        if (word == "guest" && index == figures.size()) figures.push_back(f);
    }
    if (run.exitStatus != 0 || figures.empty()) {
        missing = "the counted run failed (exit status " + std::to_string(run.exitStatus) + ")";
        figures.clear();
    }
    return figures;
}

std::string ratio(double full, double floor) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2fx", full / floor);
    return text;
}

int report() {
    const std::vector<Model> list = models(false);
    bench::Checkpoints checkpoints(false);
    std::vector<Figures> measured;
    for (const Model& model : list) measured.push_back(measure(model, checkpoints, nullptr));
    std::string missing;
    const std::vector<GuestFigures> guest = guestFigures(false, missing);

    std::printf("Update pass against its floor, per vehicle render (%d vehicles)\n", vehicles);
    std::printf(
        "  guest instructions: counted under qemu-i386 by the project's plugin, best pass\n");
    if (checkpoints.hasHardwareCounter()) {
        std::printf("  hardware instructions: this processor's counter, best pass\n");
    }
    std::printf("  times: this run, best of %d rounds\n\n", rounds);
    std::printf("%-20s %6s | %11s %11s %6s |", "model", "frames", "floor instr", "full instr",
                "ratio");
    if (checkpoints.hasHardwareCounter())
        std::printf(" %11s %11s %6s |", "floor hw", "full hw", "ratio");
    std::printf(" %9s %9s %6s | %s\n", "floor ns", "full ns", "ratio", "allocs/pass");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Figures& f = measured[i];
        std::printf("%-20s %6zu |", list[i].label, f.frames);
        if (i < guest.size()) {
            std::printf(" %11.0f %11.0f %6s |", guest[i].floor, guest[i].full,
                        ratio(guest[i].full, guest[i].floor).c_str());
        } else {
            std::printf(" %11s %11s %6s |", "-", "-", "-");
        }
        if (f.floorHardware && f.fullHardware) {
            std::printf(" %11.0f %11.0f %6s |", *f.floorHardware, *f.fullHardware,
                        ratio(*f.fullHardware, *f.floorHardware).c_str());
        }
        std::printf(" %9.0f %9.0f %6s | %.3f\n", f.floorNanoseconds, f.fullNanoseconds,
                    ratio(f.fullNanoseconds, f.floorNanoseconds).c_str(), f.allocationsPerPass);
    }
    if (guest.empty()) std::printf("\nNo guest instruction counts: %s.\n", missing.c_str());
    return 0;
}

// Exit status 77 tells the test runner that the check could not run here.
int checkGuestRatio(double limit) {
    std::string missing;
    const std::vector<GuestFigures> guest = guestFigures(true, missing);
    if (guest.empty()) {
        std::printf("skipped: no guest instruction counts: %s\n", missing.c_str());
        return 77;
    }
    const double measured = guest[0].full / guest[0].floor;
    std::printf(
        "reference motorbike: floor %.0f, full pass %.0f guest instructions per render: "
        "%.3fx (limit %.2fx)\n",
        guest[0].floor, guest[0].full, measured, limit);
    return measured <= limit ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The substitute host's own call records are not part of what the host would do.
    hostsim::hostCallLog().recording = false;

    const char* marksFile = nullptr;
    bool referenceOnly = false;
    std::optional<double> limit;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--guest-counts") == 0 && i + 1 < argc) {
            marksFile = argv[++i];
        } else if (std::strcmp(argv[i], "--reference-only") == 0) {
            referenceOnly = true;
        } else if (std::strcmp(argv[i], "--check-guest-ratio") == 0 && i + 1 < argc) {
            limit = std::strtod(argv[++i], nullptr);
        } else {
            std::fprintf(stderr, "usage: vorlix-bench [--check-guest-ratio LIMIT]\n");
            return 2;
        }
    }
    if (marksFile != nullptr) return countedRun(marksFile, referenceOnly);
    if (limit) return checkGuestRatio(*limit);
    return report();
}
