// The substitute host's side of a run, with a library that does nothing: lifecycle and trace
// lines, site choice, clock and vehicle fields as the scene sets them, float text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
    EXPECT_EQ(test::linesWithoutAdditions(trace), expected);
    EXPECT_EQ(trace.back(), '\n');
    EXPECT_EQ(trace.find('\r'), std::string::npos);
    // Every create, destroy and render went through the host's own functions.
    EXPECT_EQ(hostsim::hostActivity().poolCreations, 1u);
    EXPECT_EQ(hostsim::hostActivity().constructions, 3u);
    EXPECT_EQ(hostsim::hostActivity().destructions, 3u);
    EXPECT_EQ(hostsim::hostActivity().renders, 8u);
}

// What the trace adds to format 1's lines: the scene's length, each model's tree and starting
// flags, and every render's inputs as the library computes them (the speeds are the worked values
// of the speed estimate's three forms).
TEST(Runner, TracesTheModelsAndWhatEachRenderHadToWorkWith) {
    const Scene scene =
        readScene(R"({"format":1,"ticks":2,"clock":{"timeStep":0.5,"counterStart":1001},
        "vehicles":[
          {"name":"bike","class":9,"modelIndex":1,"model":{"name":"bike","objects":2,"children":[
            {"name":"vx_gm","objects":0,"children":[{"name":"n"},{"name":"g1","hidden":true}]}]}},
          {"name":"car","class":3,"modelIndex":2,"model":{"name":"car"}},
          {"name":"quad","class":0,"modelIndex":3,"model":{"name":"quad"}}],
        "timeline":[
          {"tick":0,"vehicle":"bike","set":{"bikeWheelSpeed":[-1,-1],"currentGear":3,"vehicleFlags":32,
            "rearBrakeInput":0.25,"driveInput":-1}},
          {"tick":0,"vehicle":"car","set":{"moveSpeed":[0,1,0]}},
          {"tick":1,"vehicle":"quad","set":{"wheelSpeed":[0,-1,0,-1]}}]})",
                  "t.json");
    const std::string inputs = R"("passSpeed":%s,"passTime":%s,"timeStep":0.5,"currentGear":%s,)"
                               R"("vehicleFlags":%s,"rearBrakeInput":%s,"driveInput":%s})";
    auto render = [&inputs](const char* head, const char* speed, const char* passSpeed,
                            const char* passTime, bool bike) {
        char tail[256];
        std::snprintf(tail, sizeof tail, inputs.c_str(), passSpeed, passTime, bike ? "3" : "0",
                      bike ? "32" : "0", bike ? "0.25" : "0", bike ? "-1" : "0");
        return std::string(head) + R"(,"rotations":[],"updates":[],"flags":[],"speedEstimate":)" +
               speed + "," + tail;
    };
    const std::vector<std::string> lines = test::splitLines(test::traceOf(scene, SIM_NULL_LIBRARY));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0],
              R"({"type":"start","format":1,"version":1001,"patchedSites":[],"ticks":2})");
    EXPECT_EQ(
        lines[1],
        R"({"type":"create","tick":0,"vehicle":"bike","slot":0,"frames":["bike","vx_gm","n","g1"],)"
        R"("class":9,"parents":[-1,0,1,1],"objects":[2,0,1,1],"startFlags":[5,5,5,1]})");
    // float(1001) * 0.5 = 500.5, then 1017 * 0.5: passTime is truncated.
    EXPECT_EQ(lines[4], render(R"({"type":"render","tick":0,"vehicle":"bike","site":"call")",
                               "75.91836586935928", "75", "500", true));
    EXPECT_EQ(lines[5], render(R"({"type":"render","tick":0,"vehicle":"car","site":"call")",
                               "179.99999523162842", "179", "500", false));
    EXPECT_EQ(lines[6], render(R"({"type":"render","tick":0,"vehicle":"quad","site":"call")", "-0",
                               "0", "500", false));
    EXPECT_EQ(lines[9], render(R"({"type":"render","tick":1,"vehicle":"quad","site":"call")",
                               "37.95918293467964", "37", "508", false));
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
