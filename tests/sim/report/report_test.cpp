// The demo's summary and report are accumulated from a trace: what they say each component did
// must follow from the trace's rotations and flags.
#include "sim/report/report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sim {
namespace {

using ::testing::HasSubstr;

TEST(Report, SummarisesWhatEachComponentDidFromTheTrace) {
    const Scene scene =
        readScene(R"({"format":1,"ticks":4,"vehicles":[{"name":"bike","class":9,"modelIndex":1,
        "model":{"name":"bike","children":[
          {"name":"vx_fbrake_az-3"},
          {"name":"vx_chain","objects":0,"children":[{"name":"a"},{"name":"<script>b","hidden":true}]},
          {"name":"vx_gm","objects":0,"children":[{"name":"n"},{"name":"g1","hidden":true}]},
          {"name":"vx_om_kph","objects":0,"children":[{"name":"w1"},{"name":"w2"},{"name":"w3"},{"name":"w4"},{"name":"w5"},{"name":"w6"}]},
          {"name":"vx_sm_m220_r270"},
          {"name":"plain"}]}}]})",
                  "t.json");
    // Frames: 0 bike, 1 brake, 2 chain, 3 a, 4 b, 5 gm, 6 n, 7 g1, 8 om, 9..14 wheels, 15 needle.
    const std::string trace =
        R"({"type":"start","format":1,"version":1002,"patchedSites":[6027355,7095587]})"
        "\n"
        R"({"type":"create","tick":0,"vehicle":"bike","slot":3,"frames":[]})"
        "\n"
        R"({"type":"render","tick":0,"vehicle":"bike","site":"call","rotations":[[1,"z",-1],[11,"x",36],[12,"x",72],[13,"x",108],[14,"x",144],[15,"y",12.5]],"updates":[],"flags":[[3,0,1],[4,0,5],[6,0,1],[7,0,5]]})"
        "\n"
        R"({"type":"render","tick":1,"vehicle":"bike","site":"jump","rotations":[[1,"z",-1],[14,"x",36],[15,"y",-2.25]],"updates":[],"flags":[[3,0,5],[4,0,1]]})"
        "\n"
        R"({"type":"render","tick":2,"vehicle":"bike","site":"call","rotations":[[1,"z",2],[13,"x",36],[14,"x",-180]],"updates":[],"flags":[[6,0,5],[7,0,1]]})"
        "\n"
        R"({"type":"render","tick":3,"vehicle":"bike","site":"jump","rotations":[],"updates":[],"flags":[]})"
        "\n"
        R"({"type":"destroy","tick":4,"vehicle":"bike","slot":3})"
        "\n"
        R"({"type":"end","restored":true,"log":["Log started"]})"
        "\n";
    const Report report = buildReport(scene, trace);
    const std::string& s = report.summary;
    EXPECT_THAT(
        s,
        HasSubstr("host build 1002; sites patched: 0x5BF85B 0x6C4523; restored after unload: yes"));
    EXPECT_THAT(s, HasSubstr("bike (class 9, slot 3, ticks 0 to 4, 4 renders (2 through the call "
                             "site, 2 through the jump site))"));
    EXPECT_THAT(s, HasSubstr("vx_fbrake_az-3     reached -2.0\u00B0, 1 stroke"));
    EXPECT_THAT(s, HasSubstr("vx_chain           2 steps over 2 link sets"));
    EXPECT_THAT(s, HasSubstr("vx_gm              showed N 1 N"));
    EXPECT_THAT(
        s, HasSubstr("vx_om_kph          001234 at its first turn, 001240 at the end (3 changes)"));
    EXPECT_THAT(
        s, HasSubstr("vx_sm_m220_r270    max 12.5\u00B0, min 0.0\u00B0, at the end 10.2\u00B0"));
    EXPECT_EQ(s.find("plain"), std::string::npos);

    const std::string& html = report.html;
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    // Self-contained, nothing fetched; names (a link set's here) escaped.
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_THAT(html, HasSubstr("<svg"));
}

TEST(Report, RefusesATraceOfAnotherScene) {
    const Scene scene = readScene(R"({"format":1,"ticks":1,"vehicles":[]})", "t.json");
    EXPECT_THROW(
        buildReport(scene, R"({"type":"create","tick":0,"vehicle":"x","slot":0,"frames":[]})"),
        std::runtime_error);
    EXPECT_THROW(buildReport(scene, "{not json"), std::runtime_error);
}

}  // namespace
}  // namespace sim
