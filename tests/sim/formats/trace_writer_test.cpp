// Traces as text: what the writer writes, the reader reads back unchanged.
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

}  // namespace
}  // namespace sim
