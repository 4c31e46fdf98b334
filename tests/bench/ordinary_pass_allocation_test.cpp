// The update pass runs for every vehicle on every render: once every component has configured, a
// pass must not touch the heap.
#include <gtest/gtest.h>

#include "allocation_counter.h"
#include "animation/update_pass.h"
#include "bench_models.h"
#include "host/events/events.h"
#include "hostsim/host_calls.h"
#include "hostsim/site_calls.h"

namespace {

// Heap allocations made by passes. The substitute host's call records would allocate; they are
// the host's, not the pass's, so they are off meanwhile.
template <typename Passes>
std::uint64_t allocationsDuring(Passes passes) {
    hostsim::hostCallLog().recording = false;
    const std::uint64_t before = bench::allocationCount();
    passes();
    const std::uint64_t allocations = bench::allocationCount() - before;
    hostsim::hostCallLog().recording = true;
    return allocations;
}

TEST(OrdinaryPass, AllocatesNothingOnceComponentsAreConfigured) {
    const struct {
        const char* label;
        hostsim::FrameShape model;
    } cases[] = {{"reference bike", bench::referenceBike()},
                 {"generated, 100 frames", bench::generatedModel(100)}};
    for (const auto& c : cases) {
        bench::Fleet fleet(c.model, 5);
        int pass = fleet.warmUp();
        const std::uint64_t allocations = allocationsDuring([&] {
            for (; pass < 400; ++pass) {
                fleet.startTick(pass);
                fleet.updateAll();
            }
        });
        EXPECT_EQ(allocations, 0u) << c.label;
    }
}

// The whole render as the host makes it: through both patched render sites, the hook chain, the
// event and its callback, into the pass. Each call copies the hooks and callbacks it runs, and the
// chain hands each hook its inner function: none of them may reach the heap, which holds only
// while std::function keeps every callable in place (at most two pointers, trivially copyable).
TEST(OrdinaryPass, AWholeRenderThroughTheSitesAllocatesNothing) {
    bench::Fleet fleet(bench::referenceBike(), 3);
    plugin::VehicleRenderedEvent& event = plugin::vehicleRenderedEvent();
    // A closure over one pointer, as the library's own render callback is.
    event.AddCallback(
        event.before,
        [&fleet](CVehicle* vehicle) {
            for (std::size_t i = 0; i < fleet.size(); ++i)
                if (fleet.vehicle(i) == vehicle) updateVehicle(vehicle, fleet.record(i));
        },
        0);
    const auto renderAll = [&fleet](int pass) {
        fleet.startTick(pass);
        for (std::size_t i = 0; i < fleet.size(); ++i) {
            auto* vehicle = reinterpret_cast<hostsim::SimVehicle*>(fleet.vehicle(i));
            hostsim::renderThroughSite(
                vehicle, pass % 2 == 0 ? hostsim::RenderSite::call : hostsim::RenderSite::jump);
        }
    };
    int pass = 0;
    for (; pass < 3; ++pass) renderAll(pass);
    const std::size_t updatesBefore = hostsim::hostCallLog().updates.size();
    EXPECT_EQ(allocationsDuring([&] {
                  for (; pass < 200; ++pass) renderAll(pass);
              }),
              0u);
    // The renders went through the pass: the frames moved.
    renderAll(pass);
    EXPECT_GT(hostsim::hostCallLog().updates.size(), updatesBefore);
}

}  // namespace
