// Traces as text: a line the reader cannot take is refused with its place; what a later version
// may add is skipped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "sim/formats/trace_reader.h"

namespace sim {
namespace {

using ::testing::HasSubstr;

TEST(TraceText, SkipsWhatALaterVersionMayAddAndRefusesWhatItCannotRead) {
    const std::string destroy = R"({"type":"destroy","tick":1,"vehicle":"v","slot":0)";
    const std::string laterText =
        "\n{\"type\":\"weather\",\"rain\":1}\n" + destroy + ",\"reason\":\"end\"}\n";
    TraceReader later(laterText, "t.jsonl");
    EXPECT_EQ(std::get<TraceDestroy>(*later.next()).vehicle, "v");
    EXPECT_FALSE(later.next().has_value());

    const std::string create =
        R"({"type":"create","tick":0,"vehicle":"v","slot":0,"frames":["a","b"],"class":0,)";
    const std::string renderHead = R"({"type":"render","tick":0,"vehicle":"v","site":"call",)";
    const std::string inputs =
        R"("speedEstimate":0,"passSpeed":0,"passTime":0,"timeStep":1,"currentGear":0,)"
        R"("vehicleFlags":0,"rearBrakeInput":0,"driveInput":0})";
    const struct {
        const char* kind;
        std::string line;
        std::string expected;
    } cases[] = {
        {"not an object", "[1]", "t.jsonl:2:1: expected an object, got an array"},
        {"no type", "{}", "t.jsonl:2:1: type: required but missing"},
        {"another format", R"({"type":"start","format":2,"version":0,"patchedSites":[],"ticks":1})",
         "t.jsonl:2:26: format: 2 is out of range (allowed: 1 to 1)"},
        {"unknown axis",
         renderHead + R"("rotations":[[1,"w",1]],"updates":[],"flags":[],)" + inputs,
         R"(rotations[0][1]: expected "x", "y" or "z", got the string "w")"},
        {"short flag change",
         renderHead + R"("rotations":[],"updates":[],"flags":[[1,0]],)" + inputs,
         "flags[0]: expected 3 items, got 2"},
        {"missing input", renderHead + R"("rotations":[],"updates":[],"flags":[]})",
         "speedEstimate: required but missing"},
        {"one parent too few", create + R"("parents":[-1],"objects":[1,1],"startFlags":[5,5]})",
         "parents: expected one item per frame (2), got 1"},
        {"a parent after its child",
         create + R"("parents":[-1,1],"objects":[1,1],"startFlags":[5,5]})",
         "parents[1]: a frame's parent is a frame before it"},
        {"two roots", create + R"("parents":[-1,-1],"objects":[1,1],"startFlags":[5,5]})",
         "parents[1]: a frame's parent is a frame before it"},
    };
    for (const auto& c : cases) {
        try {
            const std::string text = destroy + "}\n" + c.line + "\n";
            TraceReader reader(text, "t.jsonl");
            while (reader.next()) {
            }
            ADD_FAILURE() << c.kind << ": accepted";
        } catch (const TraceError& error) {
            EXPECT_THAT(error.what(), HasSubstr(c.expected)) << c.kind;
            EXPECT_THAT(error.what(), ::testing::StartsWith("t.jsonl:2:")) << c.kind;
        }
    }
}

}  // namespace
}  // namespace sim
