// The demo's summary and report are read from the trace alone: what they say each component did
// must follow from the trace's rotations and flags, and what they say of the ride from the inputs
// the trace carries.
#include "sim/report/report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sim/formats/trace_reader.h"
#include "sim/report/ride_metrics.h"

namespace sim::report {
namespace {

using ::testing::HasSubstr;

std::string render(int tick, const char* site, const std::string& changes, const char* speed,
                   int gear) {
    return R"({"type":"render","tick":)" + std::to_string(tick) + R"(,"vehicle":"bike","site":")" +
           site + "\"," + changes + R"(,"speedEstimate":)" + speed +
           R"(,"passSpeed":0,"passTime":0,"timeStep":1,)" + R"("currentGear":)" +
           std::to_string(gear) + R"(,"vehicleFlags":0,"rearBrakeInput":0,"driveInput":0})" + "\n";
}

TEST(Report, SummarisesWhatEachComponentDidFromTheTrace) {
    // Frames: 0 bike, 1 brake, 2 chain, 3 a, 4 b, 5 gm, 6 and 7 displays in the order an exporter
    // sorts them, 8 om, 9..14 wheels, 15 needle, 16 plain.
    const std::string trace =
        R"({"type":"start","format":1,"version":1002,"patchedSites":[6027355,7095587],"ticks":4})"
        "\n"
        R"({"type":"create","tick":0,"vehicle":"bike","slot":3,"frames":["bike","vx_fbrake_az-3","vx_chain","a","b",)"
        R"("vx_gm","gear_1","gear_N","vx_om_kph","w1","w2","w3","w4","w5","w6","vx_sm_m220_r270","plain"],"class":9,)"
        R"("parents":[-1,0,0,2,2,0,5,5,0,8,8,8,8,8,8,0,0],"objects":[1,1,0,1,1,0,1,1,0,1,1,1,1,1,1,1,1],)"
        R"("startFlags":[5,5,5,5,1,5,5,1,5,5,5,5,5,5,5,5,5]})"
        "\n" +
        render(
            0, "call",
            R"("rotations":[[1,"z",-1],[11,"x",36],[12,"x",72],[13,"x",108],[14,"x",144],[15,"y",12.5]],)"
            R"("updates":[],"flags":[[3,0,1],[4,0,5],[6,0,1],[7,0,5]])",
            "75.9", 1) +
        render(
            1, "jump",
            R"("rotations":[[1,"z",-1],[14,"x",36],[15,"y",-2.25]],"updates":[],"flags":[[3,0,5],[4,0,1]])",
            "80.5", 1) +
        render(
            2, "call",
            R"("rotations":[[1,"z",2],[13,"x",36],[14,"x",-180]],"updates":[],"flags":[[6,0,5],[7,0,1]])",
            "-3", 0) +
        render(3, "jump", R"("rotations":[],"updates":[],"flags":[])", "0", 0) +
        R"({"type":"destroy","tick":4,"vehicle":"bike","slot":3})"
        "\n"
        R"({"type":"end","restored":true,"log":["Log started"]})"
        "\n";
    const Ride ride = readRide(trace, "t.jsonl");
    const std::string s = rideSummary(ride);
    EXPECT_THAT(s,
                HasSubstr("Ride of 4 ticks in host build 1002; sites patched: 0x5BF85B 0x6C4523; "
                          "restored after unload: yes"));
    EXPECT_THAT(
        s, HasSubstr("bike (class 9, slot 3, ticks 0 to 4, 4 renders (2 through the call site, "
                     "2 through the jump site))"));
    EXPECT_THAT(s, HasSubstr("vx_fbrake_az-3     reached -2.0\u00B0, 1 stroke"));
    EXPECT_THAT(s, HasSubstr("vx_chain           switched 2 times between 2 link sets"));
    EXPECT_THAT(s, HasSubstr("vx_gm              showed N 1 N"));
    const char* const slots = "gear 0 (neutral) → gear_1, gear 1 → gear_N";
    EXPECT_THAT(s, HasSubstr(slots));
    EXPECT_THAT(
        s, HasSubstr("vx_om_kph          001234 at its first turn, 001240 at the end (3 changes)"));
    EXPECT_THAT(
        s, HasSubstr("vx_sm_m220_r270    max 12.5\u00B0, min 0.0\u00B0, at the end 10.2\u00B0"));
    EXPECT_EQ(s.find("plain"), std::string::npos);
    // The ride is what the library saw, render by render.
    ASSERT_EQ(ride.vehicles.size(), 1u);
    EXPECT_EQ(ride.vehicles[0].speed, (Samples{{0, 75.9}, {1, 80.5}, {2, -3}, {3, 0}}));
    EXPECT_EQ(ride.vehicles[0].gear, (Samples{{0, 1}, {1, 1}, {2, 0}, {3, 0}}));

    const std::string html = reportPage(ride, "ride");
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(html.find("<script"), std::string::npos);  // self-contained, nothing fetched
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_THAT(html, HasSubstr("<svg"));
    EXPECT_THAT(html, HasSubstr(slots));
}

// A frame with two keys is every component it names, as the library drives it; names reach the
// page as text, never as markup.
TEST(Report, TwoKeysAreTwoComponentsAndNamesAreText) {
    const std::string trace =
        R"({"type":"create","tick":0,"vehicle":"<b>&'\"","slot":0,"frames":["m","vx_fbrake_vx_cl_az5",)"
        R"("vx_chain","<i>links","b&c"],"class":3,"parents":[-1,0,0,2,2],"objects":[1,1,0,1,1],)"
        R"("startFlags":[5,5,5,5,1]})"
        "\n";
    const Ride ride = readRide(trace, "t.jsonl");
    const std::string s = rideSummary(ride);
    EXPECT_THAT(s, HasSubstr("Front brake          vx_fbrake_vx_cl_az5"));
    EXPECT_THAT(s, HasSubstr("Clutch lever         vx_fbrake_vx_cl_az5"));
    const std::string html = reportPage(ride, "ride of <b>.jsonl");
    EXPECT_THAT(html, HasSubstr("<h1>Vorlix ride of &lt;b&gt;.jsonl</h1>"));
    EXPECT_THAT(html, HasSubstr("&lt;i&gt;links</text>"));
    EXPECT_THAT(html, HasSubstr("b&amp;c</text>"));
    EXPECT_THAT(html, HasSubstr("<h2>&lt;b&gt;&amp;&#39;&quot;</h2>"));
    EXPECT_EQ(html.find("<i>"), std::string::npos);
}

// A flip-book's "several rows shown" (-2) and "no row shown" (-1) never reach the author as
// numbers, and counts agree in number.
TEST(Report, SaysWhatFlipBooksAndOdometersShowedInPlainWords) {
    struct Case {
        Component component;
        std::size_t rows;
        std::vector<double> values;
        int steps;
        const char* said;
    };
    const Case cases[] = {
        {Component::gearMeter,
         3,
         {-2, -2, 0, 1, 2, 1, 0},
         5,
         "several displays shown at first, then N 1 2 1 N"},
        {Component::gearMeter, 3, {-1, 0, 1, -1, 2}, 4, "showed N 1 (no display shown) 2"},
        {Component::gearMeter, 3, {-1, -1}, 0, "showed nothing"},
        {Component::chain, 1, {0, 0}, 0, "never switched, 1 link set"},
        {Component::chain, 2, {-2, 0, 1}, 1, "switched once between 2 link sets"},
        {Component::odometer,
         5,
         {0, 1234, 1240},
         2,
         "01234 at its first turn, 01240 at the end (2 changes; the rightmost digit is not shown)"},
        {Component::odometer,
         6,
         {0, 1234},
         1,
         "001234 at its first turn, 001234 at the end (1 change)"},
    };
    for (const Case& c : cases) {
        RideVehicle vehicle;
        vehicle.frames.push_back({"vx", -1, {}, 0, 0});
        RideComponent component{&catalogueEntry(c.component), 0, {}, {}, c.steps};
        for (std::size_t r = 0; r < c.rows; ++r) {
            component.rows.push_back(static_cast<int>(vehicle.frames.size()));
            vehicle.frames.push_back({"set" + std::to_string(r), 0, {}, 0, 1});
        }
        for (double value : c.values) component.values.emplace_back(0, value);
        EXPECT_EQ(whatItDid(vehicle, component), c.said);
    }
}

TEST(Report, RefusesATraceItCannotFollow) {
    const struct {
        const char* kind;
        const char* trace;
        const char* expected;
    } cases[] = {
        {"render before create", R"({"type":"destroy","tick":0,"vehicle":"x","slot":0})",
         "t.jsonl:1:1: the trace destroys vehicle \"x\", which is not alive"},
        {"not JSON", "\n{not json", "t.jsonl:2:3: malformed JSON: invalid literal"},
    };
    for (const auto& c : cases) {
        try {
            readRide(c.trace, "t.jsonl");
            ADD_FAILURE() << c.kind << ": accepted";
        } catch (const TraceError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.expected)) << c.kind;
        }
    }
}

}  // namespace
}  // namespace sim::report
