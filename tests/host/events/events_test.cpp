// Events: which callbacks an event keeps, and how it runs them around the host function.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "host/events/events.h"
#include "hostsim/host_image.h"
#include "hostsim/site_calls.h"
#include "hostsim/vehicle_pool.h"
#include "tests/hostsim/host_of_build.h"

namespace {

// An event whose only site belongs to a build that never runs, so adding callbacks patches nothing.
using TestEvent =
    plugin::BaseEventI<injector::function_hooker_thiscall,
                       plugin::RefList<plugin::Ref<0x6F0000, 4242, host::SiteKind::call>>,
                       plugin::ArgPick<plugin::ArgTypes<CVehicle*>, 0>, std::int32_t(CVehicle*)>;

std::vector<std::string>& trace() {
    static std::vector<std::string> calls;
    return calls;
}
void plainA(CVehicle*) { trace().push_back("plainA"); }
void plainB(CVehicle*) { trace().push_back("plainB"); }

enum class Kind { plainA, plainB, wrappedA, closure, empty };
enum class Which { before, after };

struct Add {
    Which list;
    Kind kind;
    std::int32_t id;
};

TestEvent::callback_type make(Kind kind) {
    switch (kind) {
        case Kind::plainA:
            return plainA;
        case Kind::plainB:
            return plainB;
        case Kind::wrappedA:
            return std::function<void(CVehicle*)>(plainA);
        case Kind::closure:
            return [](CVehicle*) { trace().push_back("closure"); };
        case Kind::empty:
            return nullptr;
    }
    return nullptr;
}

TEST(Event, AddCallbackKeepsOneEntryPerIdAndPerPlainFunction) {
    const struct {
        const char* what;
        std::vector<Add> adds;
        std::size_t before, after;
        std::vector<std::string> firstRun;  // what the before list runs
    } cases[] = {
        {"same plain function twice",
         {{Which::before, Kind::plainA, 0}, {Which::before, Kind::plainA, 0}},
         1,
         0,
         {"plainA"}},
        {"same plain function on both lists",
         {{Which::before, Kind::plainA, 0}, {Which::after, Kind::plainA, 0}},
         1,
         1,
         {"plainA"}},
        {"a plain function inside a callable is the same function",
         {{Which::before, Kind::plainA, 0}, {Which::before, Kind::wrappedA, 0}},
         1,
         0,
         {"plainA"}},
        {"two plain functions",
         {{Which::before, Kind::plainA, 0}, {Which::before, Kind::plainB, 0}},
         2,
         0,
         {"plainA", "plainB"}},
        {"two closures",
         {{Which::before, Kind::closure, 0}, {Which::before, Kind::closure, 0}},
         2,
         0,
         {"closure", "closure"}},
        {"a closure never matches a plain function",
         {{Which::before, Kind::closure, 0}, {Which::before, Kind::plainA, 0}},
         2,
         0,
         {"closure", "plainA"}},
        // Called, an empty callback could only fail inside the host's call.
        {"empty callbacks are not added",
         {{Which::before, Kind::empty, 0}, {Which::before, Kind::empty, 7}},
         0,
         0,
         {}},
        {"same id keeps the first",
         {{Which::before, Kind::plainA, 7}, {Which::before, Kind::plainB, 7}},
         1,
         0,
         {"plainA"}},
        {"same id on other lists",
         {{Which::before, Kind::plainA, 7}, {Which::after, Kind::plainB, 7}},
         1,
         1,
         {"plainA"}},
        {"an id is not compared with functions",
         {{Which::before, Kind::plainA, 0}, {Which::before, Kind::plainA, 5}},
         2,
         0,
         {"plainA", "plainA"}},
        {"a function under an id still counts for id 0",
         {{Which::before, Kind::plainA, 5}, {Which::before, Kind::plainA, 0}},
         1,
         0,
         {"plainA"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestEvent event;
        EXPECT_EQ(event.patched, 0);
        for (const Add& add : c.adds) {
            event.AddCallback(add.list == Which::before ? event.before : event.after,
                              make(add.kind), add.id);
        }
        EXPECT_EQ(event.patched, c.before + c.after > 0 ? 1 : 0);
        EXPECT_EQ(event.before.size(), c.before);
        EXPECT_EQ(event.after.size(), c.after);
        trace().clear();
        event.after.clear();
        CVehicle* vehicle = nullptr;
        event.eventHook([](CVehicle*&) { return 0; }, vehicle);
        EXPECT_EQ(trace(), c.firstRun);
    }
}

// Callbacks run in order around the host function; one that fails, or is empty, is passed over.
TEST(Event, EveryCallbackRunsAroundTheHost) {
    TestEvent event;
    auto* const vehicle = reinterpret_cast<CVehicle*>(0x12345678);
    std::vector<std::string> calls;
    auto noting = [&calls, vehicle](std::string name) {
        return [&calls, vehicle, name](CVehicle* v) {
            EXPECT_EQ(v, vehicle);
            calls.push_back(name);
        };
    };
    event.AddCallback(event.before, noting("before 1"), 0);
    event.AddCallback(event.before, noting("before 2"), 0);
    event.AddCallback(event.after, noting("after 1"), 0);
    event.AddCallback(event.after, noting("after 2"), 0);

    CVehicle* argument = vehicle;
    const std::int32_t result = event.eventHook(
        [&calls](CVehicle*& v) {
            calls.push_back(v == reinterpret_cast<CVehicle*>(0x12345678)
                                ? "host"
                                : "host with another vehicle");
            return -77;
        },
        argument);
    EXPECT_EQ(result, -77);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"before 1", "before 2", "host", "after 1", "after 2"}));
}

// The lists are read as the event fires: a callback added by a callback takes part.
TEST(Event, ACallbackAddedWhileFiringRunsInTheSameEvent) {
    TestEvent event;
    int late = 0;
    event.AddCallback(
        event.before,
        [&](CVehicle*) {
            event.AddCallback(
                event.after, [&late](CVehicle*) { ++late; }, 9);
        },
        0);
    CVehicle* vehicle = nullptr;
    event.eventHook([](CVehicle*&) { return 0; }, vehicle);
    EXPECT_EQ(late, 1);
}

// An event over a real site, listed for the build these tests run as (0) and for one they do not.
constexpr std::uint32_t destroySite = hostsim::address::destroySite;
using SiteEvent =
    plugin::BaseEventI<injector::function_hooker_thiscall,
                       plugin::RefList<plugin::Ref<destroySite, 1001, host::SiteKind::call>,
                                       plugin::Ref<destroySite, 0, host::SiteKind::call>>,
                       plugin::ArgPick<plugin::ArgTypes<CVehicle*>, 0>, std::int32_t(CVehicle*)>;
using SiteHooker =
    injector::function_hooker_thiscall<injector::scoped_call, destroySite, std::int32_t(CVehicle*)>;

TEST(Event, TheFirstCallbackPatchesTheSitesOfTheRunningBuildOnce) {
    const hostsim::HostOfBuild host(1001, 2);
    hostsim::SimVehicle* vehicle = hostsim::vehicleInSlot(1);
    auto* const expected = reinterpret_cast<CVehicle*>(vehicle);
    std::vector<std::string> calls;
    {
        SiteEvent event;
        event.AddCallback(
            event.before,
            [&](CVehicle* v) {
                calls.push_back(v == expected ? "before" : "before, another vehicle");
            },
            0);
        EXPECT_EQ(hostsim::patchedSites(), std::vector<std::uint32_t>{destroySite});
        EXPECT_EQ(plugin::hookerStore<SiteHooker>().size(), 1u);

        event.AddCallback(
            event.after,
            [&](CVehicle*) {
                calls.push_back(hostsim::hostActivity().destructions == 1 ? "after the host"
                                                                          : "after, host not run");
            },
            0);
        EXPECT_EQ(plugin::hookerStore<SiteHooker>().size(), 1u);
        EXPECT_EQ(plugin::hookerStore<SiteHooker>().front().shared_manager()->hook_count(), 1u);

        hostsim::destroyThroughSite(vehicle);
        EXPECT_EQ(calls, (std::vector<std::string>{"before", "after the host"}));

        // Unload releases the hookers before the event: the site is as it was.
        plugin::hookerStore<SiteHooker>().clear();
    }
    EXPECT_TRUE(hostsim::patchedSites().empty());
}

}  // namespace
