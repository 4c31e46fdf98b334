// The update pass runs for every vehicle on every render: once every component has configured, a
// pass must not touch the heap.
#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "animation/update_pass.h"
#include "bench_models.h"
#include "hostsim/host_calls.h"

namespace {

TEST(OrdinaryPass, AllocatesNothingOnceComponentsAreConfigured) {
    const struct {
        const char* label;
        hostsim::FrameShape model;
    } cases[] = {{"reference bike", bench::referenceBike()},
                 {"generated, 100 frames", bench::generatedModel(100)}};
    for (const auto& c : cases) {
        bench::Fleet fleet(c.model, 5);
        int pass = 0;
        for (; pass < 3; ++pass) {
            bench::advanceClock(pass);
            fleet.driveInputs(pass);
            for (std::size_t i = 0; i < fleet.size(); ++i)
                updateVehicle(fleet.vehicle(i), fleet.record(i));
        }
        // The substitute host's call records would allocate; they are the host's, not the pass's.
        hostsim::hostCallLog().recording = false;
        const std::uint64_t before = bench::allocationCount();
        for (; pass < 400; ++pass) {
            bench::advanceClock(pass);
            fleet.driveInputs(pass);
            for (std::size_t i = 0; i < fleet.size(); ++i)
                updateVehicle(fleet.vehicle(i), fleet.record(i));
        }
        EXPECT_EQ(bench::allocationCount() - before, 0u) << c.label;
        hostsim::hostCallLog().recording = true;
    }
}

}  // namespace
