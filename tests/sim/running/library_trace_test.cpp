// Traces of small scenes with the real library loaded, worked out by hand from what the
// components do: the substitute host's lines must say exactly what the library asked of it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hostsim/library_loader.h"
#include "sim_test_support.h"

namespace sim {
namespace {

const std::string allSites = "[6027355,7095587,7147145,7167791,7220533]";

std::string start(int version, const std::string& sites) {
    return R"({"type":"start","format":1,"version":)" + std::to_string(version) +
           R"(,"patchedSites":)" + sites + "}";
}

std::string render(int tick, const std::string& site, const std::string& rotations = "",
                   const std::string& updates = "", const std::string& flags = "") {
    return R"({"type":"render","tick":)" + std::to_string(tick) + R"(,"vehicle":"v","site":")" +
           site + R"(","rotations":[)" + rotations + R"(],"updates":[)" + updates +
           R"(],"flags":[)" + flags + "]}";
}

const std::string logStarted = R"({"type":"end","restored":true,"log":["Log started"]})";

std::vector<std::string> run(const std::string& json) {
    return test::linesWithoutAdditions(
        test::traceOf(readScene(json, "t.json"), hostsim::defaultLibraryPath()));
}

// A front brake lever to -3 degrees about Z, brake held from tick 0 to 5: interval |-3 / 5| = 0,
// so with the counter advancing 16 a tick every render after the configuring one takes a step.
// The lever reaches -3, then alternates with -2 while held, and returns one degree a render.
TEST(LibraryTrace, FrontBrakeStepsEveryRenderThroughBothSites) {
    const auto lines =
        run(R"({"format":1,"ticks":10,"vehicles":[{"name":"v","class":9,"modelIndex":1,
        "renderSite":"alternate","model":{"name":"v","children":[{"name":"vx_fbrake_az-3"}]}}],
        "timeline":[{"tick":0,"vehicle":"v","set":{"vehicleFlags":32}},{"tick":6,"vehicle":"v","set":{"vehicleFlags":0}}]})");
    const std::string down = R"([1,"z",-1])", up = R"([1,"z",1])";
    const std::vector<std::string> expected = {
        start(1001, allSites),
        R"({"type":"create","tick":0,"vehicle":"v","slot":0,"frames":["v","vx_fbrake_az-3"]})",
        render(0, "call"),  // configures only
        render(1, "jump", down, "1"),
        render(2, "call", down, "1"),
        render(3, "jump", down, "1"),  // at -3
        render(4, "call", up, "1"),    // held at the maximum: back one degree
        render(5, "jump", down, "1"),
        render(6, "call", up, "1"),  // released
        render(7, "jump", up, "1"),
        render(8, "call", up, "1"),  // at rest
        render(9, "jump"),
        R"({"type":"destroy","tick":10,"vehicle":"v","slot":0})",
        logStarted,
    };
    EXPECT_EQ(lines, expected);
}

// A gear meter whose three displays all start shown: the first render only collects them; gear 2
// hides all and shows the third, so only the first two change; gear 5 has no display and hides it.
TEST(LibraryTrace, GearMeterFlagsChangeOnlyWhereTheByteChanged) {
    const auto lines =
        run(R"({"format":1,"ticks":4,"vehicles":[{"name":"v","class":3,"modelIndex":1,
        "model":{"name":"v","children":[{"name":"vx_gm","objects":0,"children":[{"name":"g0"},{"name":"g1"},
        {"name":"g2","objects":2}]}]}}],
        "timeline":[{"tick":1,"vehicle":"v","set":{"currentGear":2}},{"tick":3,"vehicle":"v","set":{"currentGear":5}}]})");
    const std::vector<std::string> expected = {
        start(1001, allSites),
        R"({"type":"create","tick":0,"vehicle":"v","slot":0,"frames":["v","vx_gm","g0","g1","g2"]})",
        render(0, "call"),
        render(1, "call", "", "", "[2,0,1],[3,0,1]"),
        render(2, "call"),
        render(3, "call", "", "", "[4,0,1],[4,1,1]"),
        R"({"type":"destroy","tick":4,"vehicle":"v","slot":0})",
        logStarted,
    };
    EXPECT_EQ(lines, expected);
}

// The library is loaded for every build; only the hooked builds 1001 and 1002 get patched and
// animated. A model without vx_ frames is rendered and traced, untouched, in every build.
TEST(LibraryTrace, OnlyHookedBuildsArePatchedAndAnimated) {
    const struct {
        int version;
        bool hooked;
    } builds[] = {{1001, true},  {1002, true},  {1011, false}, {1101, false},
                  {1111, false}, {3200, false}, {3210, false}, {0, false}};
    for (const auto& build : builds) {
        const auto lines = run(R"({"format":1,"host":{"version":)" + std::to_string(build.version) +
                               R"(},"ticks":3,"vehicles":[
            {"name":"v","class":9,"modelIndex":1,"model":{"name":"v","children":[{"name":"vx_fbrake_az-3"}]}},
            {"name":"plain","class":0,"modelIndex":2,"model":{"name":"plain","children":[{"name":"body","children":[{"name":"wheel"}]}]}}],
            "timeline":[{"tick":0,"vehicle":"v","set":{"vehicleFlags":32}}]})");
        ASSERT_EQ(lines.size(), 12u) << build.version;
        EXPECT_EQ(lines[0], start(build.version, build.hooked ? allSites : "[]")) << build.version;
        EXPECT_EQ(lines[5],
                  build.hooked ? render(1, "call", R"([1,"z",-1])", "1") : render(1, "call"))
            << build.version;
        for (std::size_t i : {4u, 6u, 8u}) {
            EXPECT_NE(
                lines[i].find(
                    R"("vehicle":"plain","site":"call","rotations":[],"updates":[],"flags":[])"),
                std::string::npos)
                << build.version << ": " << lines[i];
        }
        EXPECT_EQ(lines.back(), logStarted) << build.version;
    }
}

// The demo as a user runs it: the ride's gears show on both gear meters, every lever moves, the
// odometers turn, and the host's sites are restored after unload.
TEST(LibraryTrace, DemoRideMovesEveryComponent) {
    namespace fs = std::filesystem;
    const fs::path out = fs::absolute("demo_test_out");
    fs::remove_all(out);
    std::string command = "\"" + fs::absolute(VORLIX_SIM_PROGRAM).make_preferred().string() +
                          "\" demo --out \"" + out.string() + "\" >\"" +
                          (fs::absolute("demo_test_summary.txt")).string() + "\" 2>&1";
#ifdef _WIN32
    command = "\"" + command + "\"";
#endif
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string summary = test::readFile("demo_test_summary.txt");
    for (const char* expected :
         {"restored after unload: yes", "vx_fbrake_az-30    reached -30.0",
          "vx_rbrake_ax25     reached 25.0", "vx_cl_az20         reached 20.0",
          "vx_gl_o12          swung between -12.0\u00B0 and 12.0",
          "vx_gm              showed N 1 2 3 4 5 6 5 4 3 2 1 N",
          "vx_gm              showed N 1 2 3 4 5 4 3 2 1 N", "vx_fbrake_az-25    reached -25.0",
          "vx_rbrake_ax20     reached 20.0"}) {
        EXPECT_NE(summary.find(expected), std::string::npos) << expected << "\n" << summary;
    }
    EXPECT_EQ(summary.find("did not turn"), std::string::npos) << summary;
    EXPECT_EQ(summary.find(" 0 steps"), std::string::npos) << summary;
    const auto lines = test::linesWithoutAdditions(test::readFile((out / "trace.jsonl").string()));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), start(1001, allSites));
    EXPECT_EQ(lines.back(), logStarted);
    EXPECT_TRUE(fs::exists(out / "report.html"));
}

}  // namespace
}  // namespace sim
