// The scene reader: every kind of bad scene is refused with one message that names the file, the
// line and column, the place in the document and the problem; good scenes get their defaults.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sim/formats/scene.h"

namespace sim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A vehicle with everything it needs; extra members are added at its end.
std::string vehicle(const std::string& name, const std::string& extra = "") {
    return R"({"name":")" + name + R"(","class":9,"modelIndex":1,"model":{"name":"root"})" +
           (extra.empty() ? "" : "," + extra) + "}";
}

std::string scene(const std::string& vehicles, const std::string& extra = "") {
    return R"({"format":1,"ticks":10,"vehicles":[)" + vehicles + "]" +
           (extra.empty() ? "" : "," + extra) + "}";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

std::string errorOf(const std::string& json) {
    try {
        readScene(json, "t.json");
    } catch (const SceneError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(SceneReader, RefusesBadScenesWithPlaceAndProblem) {
    const struct {
        const char* kind;
        std::string json;
        std::string expected;  // "path: problem", or the position and problem for malformed text
    } cases[] = {
        {"malformed JSON", "{\n  \"format\": 1\n  \"ticks\": 5\n}",
         "t.json:3:9: malformed JSON: syntax error while parsing object - unexpected string "
         "literal"},
        {"empty text", "", "t.json:1:1: malformed JSON"},
        {"trailing text", scene(vehicle("a")) + " x", "malformed JSON"},
        {"top level not an object", "[]", "t.json:1:1: expected an object, got an array"},
        {"unknown key", R"({"format":1,"ticks":10,"vehicles":[],"tickz":3})",
         "t.json:1:38: tickz: unknown key"},
        {"unknown key in a frame",
         scene(
             R"({"name":"a","class":9,"modelIndex":1,"model":{"name":"r","children":[{"name":"c","colour":1}]}})"),
         "vehicles[0].model.children[0].colour: unknown key (expected one of: name, objects, "
         "hidden, children)"},
        {"vehicle field in a clock entry",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"set":{"currentGear":1}}])"),
         "timeline[0].set.currentGear: unknown key (expected one of: timeStep, timeCounter); "
         "vehicle fields need"},
        {"duplicate key",
         scene(R"({"name":"a","name":"b","class":9,"modelIndex":1,"model":{"name":"r"}})"),
         "t.json:1:48: vehicles[0].name: duplicate key (first given at line 1, column 37)"},
        {"duplicate key in a set",
         scene(vehicle("a"),
               R"("timeline":[{"tick":0,"vehicle":"a","set":{"currentGear":1,"currentGear":2}}])"),
         "timeline[0].set.currentGear: duplicate key"},
        {"missing required key", scene(R"({"name":"a","class":9,"model":{"name":"r"}})"),
         "t.json:1:36: vehicles[0].modelIndex: required but missing"},
        {"missing frame name", scene(replaced(vehicle("a"), R"({"name":"root"})", "{}")),
         "vehicles[0].model.name: required but missing"},
        {"string for an integer", R"({"format":1,"ticks":"5","vehicles":[]})",
         "ticks: expected an integer, got the string \"5\""},
        {"fraction for an integer",
         R"({"format":1,"ticks":5,"host":{"poolSize":4.5},"vehicles":[]})",
         "host.poolSize: expected an integer, got 4.5"},
        {"string for a float", scene(vehicle("a", R"("wheelScales":[1,"x"])")),
         "vehicles[0].wheelScales[1]: expected a number, got the string \"x\""},
        {"short float array",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"vehicle":"a","set":{"moveSpeed":[1,2]}}])"),
         "timeline[0].set.moveSpeed: expected an array of 3 numbers, got 2 items"},
        {"number for a boolean",
         scene(R"({"name":"a","class":9,"modelIndex":1,"model":{"name":"r","hidden":1}})"),
         "vehicles[0].model.hidden: expected true or false, got 1"},
        {"null for a frame list",
         scene(R"({"name":"a","class":9,"modelIndex":1,"model":{"name":"r","children":null}})"),
         "t.json:1:104: vehicles[0].model.children: expected an array, got null"},
        {"wrong format", R"({"format":2,"ticks":5,"vehicles":[]})",
         "format: 2 is out of range (allowed: 1 to 1)"},
        {"ticks zero", R"({"format":1,"ticks":0,"vehicles":[]})",
         "ticks: 0 is out of range (allowed: 1 to 1,000,000)"},
        {"ticks too many", R"({"format":1,"ticks":1000001,"vehicles":[]})",
         "ticks: 1000001 is out of range"},
        {"huge integer", R"({"format":1,"ticks":99999999999999999999999,"vehicles":[]})",
         "ticks: 99999999999999999999999 is out of range"},
        {"pool too large", R"({"format":1,"ticks":5,"host":{"poolSize":1001},"vehicles":[]})",
         "host.poolSize: 1001 is out of range (allowed: 1 to 1000)"},
        {"counter step too large",
         R"({"format":1,"ticks":5,"clock":{"counterStep":1000001},"vehicles":[]})",
         "clock.counterStep: 1000001 is out of range (allowed: 0 to 1,000,000)"},
        {"negative counter start",
         R"({"format":1,"ticks":5,"clock":{"counterStart":-1},"vehicles":[]})",
         "clock.counterStart: -1 is out of range"},
        {"unknown host version", R"({"format":1,"ticks":5,"host":{"version":1234},"vehicles":[]})",
         "host.version: unknown host version 1234"},
        {"model index too large",
         scene(replaced(vehicle("a"), "\"modelIndex\":1", "\"modelIndex\":65536")),
         "vehicles[0].modelIndex: 65536 is out of range (allowed: 0 to 65535)"},
        {"vehicle flags too large",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"vehicle":"a","set":{"vehicleFlags":256}}])"),
         "timeline[0].set.vehicleFlags: 256 is out of range (allowed: 0 to 255)"},
        {"gear too large",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"vehicle":"a","set":{"currentGear":300}}])"),
         "timeline[0].set.currentGear: 300 is out of range"},
        {"float too large",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"vehicle":"a","set":{"driveInput":1e39}}])"),
         "timeline[0].set.driveInput: 1e39 is out of range for a 32-bit float"},
        {"object count too large",
         scene(R"({"name":"a","class":9,"modelIndex":1,"model":{"name":"r","objects":1001}})"),
         "vehicles[0].model.objects: 1001 is out of range"},
        {"unknown render site", scene(vehicle("a", R"("renderSite":"both")")),
         "vehicles[0].renderSite: unknown render site \"both\""},
        {"empty vehicle name", scene(vehicle("")),
         "vehicles[0].name: a vehicle name must not be empty"},
        {"duplicate vehicle name", scene(vehicle("a") + "," + vehicle("b") + "," + vehicle("a")),
         "vehicles[2].name: duplicate vehicle name \"a\" (also vehicles[0])"},
        {"unknown vehicle name",
         scene(vehicle("a"), R"("timeline":[{"tick":0,"vehicle":"b","set":{}}])"),
         "timeline[0].vehicle: unknown vehicle \"b\""},
        {"spawn after the scene", scene(vehicle("a", R"("spawnTick":10)")),
         "vehicles[0].spawnTick: tick 10 is outside the scene (the scene's ticks are 0 to 9)"},
        {"despawn after the scene", scene(vehicle("a", R"("despawnTick":12)")),
         "vehicles[0].despawnTick: tick 12 is outside the scene"},
        {"tick beyond 64 bits", scene(vehicle("a", R"("spawnTick":-99999999999999999999)")),
         "vehicles[0].spawnTick: -99999999999999999999 is out of range (allowed: "
         "-9,223,372,036,854,775,808 to 9,223,372,036,854,775,807)"},
        {"negative tick", scene(vehicle("a", R"("spawnTick":-1)")),
         "vehicles[0].spawnTick: tick -1 is outside the scene (the scene's ticks are 0 to 9)"},
        {"timeline tick after the scene",
         scene(vehicle("a"), R"("timeline":[{"tick":10,"set":{}}])"),
         "timeline[0].tick: tick 10 is outside the scene"},
        {"timeline unsorted",
         scene(vehicle("a"), R"("timeline":[{"tick":5,"set":{}},{"tick":4,"set":{}}])"),
         "timeline[1].tick: timeline entries must be sorted by tick: tick 4 comes after tick 5"},
        {"vehicle not yet alive",
         scene(vehicle("a", R"("spawnTick":5)"),
               R"("timeline":[{"tick":4,"vehicle":"a","set":{}}])"),
         "timeline[0].vehicle: vehicle \"a\" is not alive at tick 4 (it is alive from tick 5)"},
        {"vehicle no longer alive",
         scene(vehicle("a", R"("spawnTick":1,"despawnTick":3)"),
               R"("timeline":[{"tick":3,"vehicle":"a","set":{}}])"),
         "vehicle \"a\" is not alive at tick 3 (it is alive from tick 1 until it is destroyed at "
         "tick 3)"},
        {"despawn not after spawn", scene(vehicle("a", R"("spawnTick":4,"despawnTick":4)")),
         "vehicles[0].despawnTick: despawnTick 4 is not after spawnTick 4"},
        {"slot outside the pool",
         R"({"format":1,"ticks":5,"host":{"poolSize":4},"vehicles":[)" +
             vehicle("a", R"("slot":4)") + "]}",
         "vehicles[0].slot: slot 4 is outside the pool (slots 0 to 3)"},
        {"negative slot", scene(vehicle("a", R"("slot":-2)")),
         "vehicles[0].slot: slot -2 is outside the pool"},
        {"slot taken", scene(vehicle("a") + "," + vehicle("b", R"("slot":0)")),
         "vehicles[1].slot: slot 0 is taken at tick 0 by vehicle \"a\""},
        {"slot taken by a later spawn",
         scene(vehicle("a", R"("slot":1)") + "," + vehicle("b", R"("spawnTick":2)") + "," +
               vehicle("c", R"("spawnTick":2,"slot":0)")),
         "vehicles[2].slot: slot 0 is taken at tick 2 by vehicle \"b\""},
        {"no free slot",
         R"({"format":1,"ticks":5,"host":{"poolSize":2},"vehicles":[)" + vehicle("a") + "," +
             vehicle("b") + "," + vehicle("c", R"("spawnTick":3)") + "]}",
         "vehicles[2]: no free slot at tick 3: all 2 slots of the pool are taken"},
        {"one model with two wheel scales",
         scene(vehicle("a", R"("wheelScales":[1,2])") + "," +
               vehicle("b", R"("wheelScales":[1,2.5])")),
         "vehicles[1].wheelScales: vehicle \"a\" has the same modelIndex 1 with other wheelScales"},
        {"control character in a frame name",
         scene(
             R"({"name":"a","class":9,"modelIndex":1,"model":{"name":"r","children":[{"name":"vx_\u0007"}]}})"),
         "vehicles[0].model.children[0].name: frame names must not hold control characters: byte "
         "0x07 at position 3"},
        {"nested too deep", std::string(300, '[') + std::string(300, ']'),
         "nested deeper than 256 levels"},
    };
    for (const auto& c : cases) {
        const std::string message = errorOf(c.json);
        EXPECT_THAT(message, StartsWith("t.json:")) << c.kind;
        EXPECT_THAT(message, HasSubstr(c.expected)) << c.kind;
        EXPECT_EQ(message.find('\n'), std::string::npos) << c.kind;
    }
}

TEST(SceneReader, FillsDefaults) {
    const Scene s = readScene(scene(vehicle("a")), "t.json");
    EXPECT_EQ(s.hostVersion, 1001);
    EXPECT_EQ(s.poolSize, 110u);
    EXPECT_EQ(s.timeStep, 1.0f);
    EXPECT_EQ(s.counterStart, 0u);
    EXPECT_EQ(s.counterStep, 16u);
    ASSERT_EQ(s.vehicles.size(), 1u);
    const SceneVehicle& v = s.vehicles[0];
    EXPECT_EQ(v.wheelScales[0], 1.0f);
    EXPECT_EQ(v.wheelScales[1], 1.0f);
    EXPECT_EQ(v.spawnTick, 0u);
    EXPECT_FALSE(v.despawnTick.has_value());
    EXPECT_EQ(v.renderSite, RenderSite::call);
    EXPECT_EQ(v.model.objects, 1);
    EXPECT_FALSE(v.model.hidden);
}

TEST(SceneReader, GivesSlotsAsTheHostWill) {
    // b leaves at 4 and frees slot 1 for d, which spawns in the same tick; c asked for slot 0's
    // neighbour 2 and keeps it.
    const Scene s =
        readScene(R"({"format":1,"ticks":10,"host":{"poolSize":3},"vehicles":[)" + vehicle("a") +
                      "," + vehicle("b", R"("despawnTick":4)") + "," + vehicle("c", R"("slot":2)") +
                      "," + vehicle("d", R"("spawnTick":4,"slot":null)") + "]}",
                  "t.json");
    ASSERT_EQ(s.vehicles.size(), 4u);
    EXPECT_EQ(s.vehicles[0].slot, 0u);
    EXPECT_EQ(s.vehicles[1].slot, 1u);
    EXPECT_EQ(s.vehicles[2].slot, 2u);
    EXPECT_EQ(s.vehicles[3].slot, 1u);
}

TEST(SceneReader, ReadsFloatsAsTheNearestFloatToTheText) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"0.1", 0.1f},
        {"-0", -0.0f},
        {"16777217", 16777216.0f},
        {"3", 3.0f},
        {"1e-50", 0.0f},
        {"1.4e-45", 1.4e-45f},
        // Just above the midpoint of 1 and the next float: a double would round to the midpoint
        // itself, and the float from that double to 1.
        {"1.0000000596046447753906251", std::nextafter(1.0f, 2.0f)},
        {"3.4028235e38", 3.4028235e38f},
    };
    for (const auto& c : cases) {
        const Scene s = readScene(R"({"format":1,"ticks":1,"clock":{"timeStep":)" +
                                      std::string(c.text) + R"(},"vehicles":[]})",
                                  "t.json");
        EXPECT_EQ(std::signbit(s.timeStep), std::signbit(c.expected)) << c.text;
        EXPECT_EQ(s.timeStep, c.expected) << c.text;
    }
}

TEST(SceneReader, KeepsTimelineOrderWithinATick) {
    const Scene s = readScene(
        scene(vehicle("a"), R"("timeline":[{"tick":1,"vehicle":"a","set":{"currentGear":2}},
        {"tick":1,"set":{"timeCounter":4294967295,"timeStep":0.5}},{"tick":1,"vehicle":"a","set":{"currentGear":3}}])"),
        "t.json");
    ASSERT_EQ(s.timeline.size(), 3u);
    EXPECT_EQ(*s.timeline[0].fields.currentGear, 2);
    EXPECT_EQ(s.timeline[1].vehicle, -1);
    EXPECT_EQ(*s.timeline[1].timeCounter, 4294967295u);
    EXPECT_EQ(*s.timeline[2].fields.currentGear, 3);
}

}  // namespace
}  // namespace sim
