// The substitute host's side of a run, with a library that does nothing: lifecycle and trace
// lines, site choice, clock and vehicle fields as the scene sets them, float text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "hostsim/host_layout.h"
#include "hostsim/vehicle_pool.h"
#include "sim_test_support.h"

namespace sim {
namespace {

TEST(Runner, TracesLifecycleAndSitesInOrder) {
    const Scene scene =
        readScene(R"({"format":1,"host":{"version":1002,"poolSize":4},"ticks":4,"vehicles":[
        {"name":"bike","class":9,"modelIndex":5,"despawnTick":2,"renderSite":"jump",
         "model":{"name":"bike","children":[{"name":"vx_fbrake_az-3","children":[{"name":"lever"}]},{"name":"seat"}]}},
        {"name":"car \"x\"","class":3,"modelIndex":6,"renderSite":"alternate","slot":2,"model":{"name":"car"}},
        {"name":"late","class":0,"modelIndex":7,"spawnTick":2,"model":{"name":"late"}}]})",
                  "t.json");
    const std::vector<std::string> expected = {
        R"({"type":"start","format":1,"version":1002,"patchedSites":[]})",
        R"({"type":"create","tick":0,"vehicle":"bike","slot":0,"frames":["bike","vx_fbrake_az-3","lever","seat"]})",
        R"({"type":"create","tick":0,"vehicle":"car \"x\"","slot":2,"frames":["car"]})",
        R"({"type":"render","tick":0,"vehicle":"bike","site":"jump","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":0,"vehicle":"car \"x\"","site":"call","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":1,"vehicle":"bike","site":"jump","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":1,"vehicle":"car \"x\"","site":"jump","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"destroy","tick":2,"vehicle":"bike","slot":0})",
        R"({"type":"create","tick":2,"vehicle":"late","slot":0,"frames":["late"]})",
        R"({"type":"render","tick":2,"vehicle":"car \"x\"","site":"call","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":2,"vehicle":"late","site":"call","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":3,"vehicle":"car \"x\"","site":"jump","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"render","tick":3,"vehicle":"late","site":"call","rotations":[],"updates":[],"flags":[]})",
        R"({"type":"destroy","tick":4,"vehicle":"car \"x\"","slot":2})",
        R"({"type":"destroy","tick":4,"vehicle":"late","slot":0})",
        R"({"type":"end","restored":true,"log":[]})",
    };
    hostsim::hostActivity() = hostsim::HostActivity{};
    const std::string trace = test::traceOf(scene, SIM_NULL_LIBRARY);
    EXPECT_EQ(test::splitLines(trace), expected);
    EXPECT_EQ(trace.back(), '\n');
    EXPECT_EQ(trace.find('\r'), std::string::npos);
    // Every create, destroy and render went through the host's own functions.
    EXPECT_EQ(hostsim::hostActivity().poolCreations, 1u);
    EXPECT_EQ(hostsim::hostActivity().constructions, 3u);
    EXPECT_EQ(hostsim::hostActivity().destructions, 3u);
    EXPECT_EQ(hostsim::hostActivity().renders, 8u);
}

TEST(Runner, SetsClockAndVehicleFieldsAsTheSceneSays) {
    const Scene scene = readScene(R"({"format":1,"ticks":5,"host":{"poolSize":2},
        "clock":{"timeStep":0.5,"counterStart":4294967290,"counterStep":4},
        "vehicles":[{"name":"a","class":9,"modelIndex":3,"wheelScales":[0.75,1.25],"slot":1,"model":{"name":"a"}}],
        "timeline":[
          {"tick":1,"vehicle":"a","set":{"currentGear":2,"bikeWheelSpeed":[-1.5,0.1],"vehicleFlags":32}},
          {"tick":2,"set":{"timeCounter":100}},
          {"tick":3,"set":{"timeStep":2}},
          {"tick":3,"vehicle":"a","set":{"currentGear":3,"rearBrakeInput":-0}}]})",
                                  "t.json");
    struct Seen {
        std::uint32_t counter;
        float timeStep;
        std::uint8_t gear, flags;
        float bike0, bike1, rearBrake;
    };
    std::vector<Seen> seen;
    test::traceOf(scene, SIM_NULL_LIBRARY, [&seen](std::uint32_t, std::uint32_t) {
        const hostsim::SimVehicle* v = hostsim::vehicleInSlot(1);
        seen.push_back({hostsim::timeCounterVariable(), hostsim::timeStepVariable(), v->currentGear,
                        v->vehicleFlags, v->bikeWheelSpeed[0], v->bikeWheelSpeed[1],
                        v->rearBrakeInput});
    });
    ASSERT_EQ(seen.size(), 5u);
    const std::uint32_t counters[] = {4294967290u, 4294967294u, 100u, 104u,
                                      108u};  // wraps, then set
    const float steps[] = {0.5f, 0.5f, 0.5f, 2.0f, 2.0f};
    const std::uint8_t gears[] = {0, 2, 2, 3, 3};
    for (std::size_t t = 0; t < 5; ++t) {
        EXPECT_EQ(seen[t].counter, counters[t]) << t;
        EXPECT_EQ(seen[t].timeStep, steps[t]) << t;
        EXPECT_EQ(seen[t].gear, gears[t]) << t;
        EXPECT_EQ(seen[t].flags, t == 0 ? 0 : 32) << t;  // holds until set again
        EXPECT_EQ(seen[t].bike0, t == 0 ? 0.0f : -1.5f) << t;
        EXPECT_EQ(seen[t].bike1, t == 0 ? 0.0f : 0.1f) << t;
    }
    EXPECT_TRUE(std::signbit(seen[4].rearBrake));
    EXPECT_EQ(hostsim::modelInfo(3)->wheelScaleA, 0.75f);
    EXPECT_EQ(hostsim::modelInfo(3)->wheelScaleB, 1.25f);
}

TEST(Runner, ReportsTheLibrarysLogAndAMissingLibrary) {
    const Scene scene = readScene(R"({"format":1,"ticks":1,"vehicles":[]})", "t.json");
    {
        std::ofstream stale(libraryLogFile, std::ios::binary);
        stale << "from an earlier run\r\n";
    }
    // A library that writes no log leaves no log: an earlier one is not passed off as its own.
    EXPECT_EQ(test::splitLines(test::traceOf(scene, SIM_NULL_LIBRARY)).back(),
              R"({"type":"end","restored":true,"log":[]})");
    EXPECT_THROW(test::traceOf(scene, "/nonexistent/libvorlix.so"), LoadError);
}

}  // namespace
}  // namespace sim
