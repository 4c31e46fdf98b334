// Traces as text: what the writer writes, the reader reads back unchanged, and a line the reader
// cannot take is refused with its place; what a later version may add is skipped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "sim/formats/trace_reader.h"
#include "sim/formats/trace_writer.h"
#include "../written_text.h"

namespace sim {
namespace {

using ::testing::HasSubstr;

std::string written(const std::vector<TraceLine>& lines) {
    std::FILE* file = std::tmpfile();
    TraceWriter writer(file);
    for (const TraceLine& line : lines)
        std::visit([&writer](const auto& l) { writer.take(l); }, line);
    EXPECT_TRUE(writer.flush());
    std::string text = test::writtenText(file);
    std::fclose(file);
    return text;
}

TEST(TraceText, ReadsBackWhatWasWritten) {
    const float inf = std::numeric_limits<float>::infinity();
    TraceRender render{7,
                       "car \"x\"\n",
                       RenderSite::jump,
                       {{2, 'y', -inf}, {-1, 'x', 0.1f}},
                       {2, -1},
                       {{1, 0, 1}},
                       {-0.0, -2147483647, 4294967295u, NAN, 255, 32, -0.0f, inf}};
    const std::string text =
        written({TraceStart{1002, {6027355, 7095587}, 1000000},
                 TraceCreate{0, "car \"x\"\n", 3, -7, {{"r", -1, 2, 5}, {"c\\", 0, 0, 1}}}, render,
                 TraceDestroy{8, "car \"x\"\n", 3}, TraceEnd{false, {"Log started", "\"q\""}}});
    TraceReader reader(text, "t.jsonl");

    const auto start = std::get<TraceStart>(*reader.next());
    EXPECT_EQ(start.version, 1002);
    EXPECT_EQ(start.patchedSites, (std::vector<std::uint32_t>{6027355, 7095587}));
    EXPECT_EQ(start.ticks, 1000000u);
    const auto create = std::get<TraceCreate>(*reader.next());
    EXPECT_EQ(create.vehicle, "car \"x\"\n");
    EXPECT_EQ(create.vehicleClass, -7);
    ASSERT_EQ(create.frames.size(), 2u);
    EXPECT_EQ(create.frames[1].name, "c\\");
    EXPECT_EQ(create.frames[1].parent, 0);
    EXPECT_EQ(create.frames[0].objects, 2);
    EXPECT_EQ(create.frames[1].startFlags, 1);
    const auto back = std::get<TraceRender>(*reader.next());
    EXPECT_EQ(back.site, RenderSite::jump);
    ASSERT_EQ(back.rotations.size(), 2u);
    EXPECT_EQ(back.rotations[0].angle, -inf);
    EXPECT_EQ(back.rotations[1].frameIndex, -1);
    EXPECT_EQ(back.rotations[1].angle, 0.1f);
    EXPECT_EQ(back.updates, render.updates);
    EXPECT_EQ(back.flags, render.flags);
    EXPECT_TRUE(std::signbit(back.inputs.speedEstimate));
    EXPECT_EQ(back.inputs.passSpeed, -2147483647);
    EXPECT_EQ(back.inputs.passTime, 4294967295u);
    EXPECT_TRUE(std::isnan(back.inputs.timeStep));
    EXPECT_EQ(back.inputs.currentGear, 255);
    EXPECT_TRUE(std::signbit(back.inputs.rearBrakeInput));
    EXPECT_EQ(back.inputs.driveInput, inf);
    EXPECT_EQ(std::get<TraceDestroy>(*reader.next()).tick, 8u);
    EXPECT_EQ(std::get<TraceEnd>(*reader.next()).log,
              (std::vector<std::string>{"Log started", "\"q\""}));
    EXPECT_FALSE(reader.next().has_value());
}

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
