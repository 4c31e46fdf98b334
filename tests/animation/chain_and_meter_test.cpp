// Chain flip-book and gear meter, driven through the update pass.

#include <gtest/gtest.h>

#include "test_vehicle.h"

namespace animtest {
namespace {

using Names = std::vector<std::string>;

FrameShape hiddenChildren(FrameShape shape) {
    for (FrameShape& child : shape.children) child.hidden = true;
    return shape;
}

TEST(Chain, RunsThroughItsLinksInTheDirectionOfTravel) {
    const struct {
        std::int32_t vehicleClass;
        std::int32_t speed;
        float driveInput;
        Names shownAfterEachStep;
    } cases[] = {
        {3, 50, 0.0f, {"link2", "link1", "link0", "link2", "link1"}},
        {0, -50, 0.0f, {"link1", "link2", "link0", "link1", "link2"}},
        {9, -50, 0.0f, {"link1", "link2", "link0", "link1", "link2"}},
        {3, 0, 0.0f, {"link0", "link0", "link0", "link0", "link0"}},
        // Class 10 runs its chain one way only, and only under drive.
        {10, 50, 1.0f, {"link2", "link1", "link0", "link2", "link1"}},
        {10, 50, -0.5f, {"link2", "link1", "link0", "link2", "link1"}},
        {10, 50, 0.0f, {"link0", "link0", "link0", "link0", "link0"}},
        {10, -50, 1.0f, {"link0", "link0", "link0", "link0", "link0"}},
    };
    for (const auto& c : cases) {
        TestVehicle v(frame("body", {hiddenChildren(frameWithChildren("vx_chain", "link", 3))}), 0,
                      c.vehicleClass);
        SimFrame* chain = v["vx_chain"];
        v.sim->driveInput = c.driveInput;
        v.setSpeed(c.speed);
        const auto modelled = v.model.flagSnapshot();
        v.pass(10);  // collects the links and shows nothing
        EXPECT_TRUE(v.model.flagChangesSince(modelled).empty());
        Names shown;
        for (std::uint32_t counter = 11; counter < 16; ++counter) {
            v.pass(counter);
            const Names now = v.shownChildren(chain);
            ASSERT_EQ(now.size(), 1u) << "class " << c.vehicleClass << " speed " << c.speed;
            shown.push_back(now[0]);
        }
        EXPECT_EQ(shown, c.shownAfterEachStep)
            << "class " << c.vehicleClass << " speed " << c.speed;
        EXPECT_EQ(v.rotationCount(), 0u);
    }
}

// The interval is |speed| / 100, so a faster vehicle steps less often.
TEST(Chain, StepIntervalGrowsWithSpeed) {
    const struct {
        std::int32_t speed;
        int stepsIn12Passes;
    } cases[] = {{99, 12}, {100, 6}, {199, 6}, {200, 4}, {250, 4}, {-250, 4}, {-99, 12}, {-100, 6}};
    for (const auto& c : cases) {
        TestVehicle v(frameWithChildren("vx_chain", "link", 3), 0, 0);
        SimFrame* chain = v["vx_chain"];
        v.setSpeed(c.speed);
        v.pass(10);
        int steps = 0;
        for (std::uint32_t counter = 11; counter < 23; ++counter) {
            const auto before = v.model.flagSnapshot();
            v.pass(counter);
            if (!v.model.flagChangesSince(before).empty()) ++steps;
        }
        EXPECT_EQ(steps, c.stepsIn12Passes) << c.speed;
        EXPECT_EQ(v.shownChildren(chain).size(), 1u);
    }
}

TEST(Chain, SingleLinkStaysShownAndNoLinksChangeNothing) {
    TestVehicle single(frame("body", {hiddenChildren(frameWithChildren("vx_chain", "link", 1))}));
    single.setSpeed(50);
    for (std::uint32_t counter = 10; counter < 20; ++counter) single.pass(counter);
    EXPECT_EQ(single.shownChildren(single["vx_chain"]), Names{"link0"});
    EXPECT_EQ(single.record.chain.linkIndex, 0);

    for (std::int32_t speed : {50, 0}) {
        TestVehicle empty(frame("body", {frame("vx_chain"), frame("wheel")}));
        empty.setSpeed(speed);
        const auto modelled = empty.model.flagSnapshot();
        for (std::uint32_t counter = 10; counter < 20; ++counter) empty.pass(counter);
        EXPECT_TRUE(empty.model.flagChangesSince(modelled).empty());
        EXPECT_TRUE(empty.record.chain.links.empty());
        EXPECT_EQ(empty.record.chain.linkIndex, 0);
    }
}

TEST(Chain, SecondChainFrameSharesTheFirstFramesLinks) {
    TestVehicle v(frame("body", {hiddenChildren(frameWithChildren("vx_chain", "a", 3)),
                                 frameWithChildren("vx_chain_b", "b", 3)}));
    v.setSpeed(50);
    // The second frame steps in the collecting pass: it hides its own links and shows the first's.
    v.pass(10);
    EXPECT_EQ(v.shownChildren(v["vx_chain"]), Names{"a2"});
    EXPECT_EQ(v.shownChildren(v["vx_chain_b"]), Names{});
    for (std::uint32_t counter = 11; counter < 14; ++counter) v.pass(counter);
    EXPECT_EQ(v.shownChildren(v["vx_chain"]), Names{"a2"});  // a1, a0, then a2 again
    EXPECT_EQ(v.shownChildren(v["vx_chain_b"]), Names{});
    EXPECT_EQ(v.record.chain.links.size(), 3u);
}

TEST(GearMeter, ShowsTheChildOfTheCurrentGearInTheSamePass) {
    FrameShape meter = frameWithChildren("vx_gm", "g", 6);
    meter.children[1].children.push_back(FrameShape{"g1_detail", 1, true, {}});
    TestVehicle v(frame("dash", {meter}));
    SimFrame* frameOfMeter = v["vx_gm"];
    const struct {
        int gear;
        Names shown;
    } steps[] = {
        // Gear 0 from the first render: the displays stay as modelled.
        {0, {"g0", "g1", "g2", "g3", "g4", "g5"}},
        {0, {"g0", "g1", "g2", "g3", "g4", "g5"}},
        {2, {"g2"}},
        {3, {"g3"}},
        {6, {}},
        {9, {}},
        {255, {}},
        {2, {"g2"}},
        {3, {"g3"}},
        {2, {"g2"}},
        {0, {"g0"}},
        {5, {"g5"}},
    };
    std::uint32_t counter = 10;
    for (const auto& step : steps) {
        v.sim->currentGear = static_cast<std::uint8_t>(step.gear);
        v.pass(counter++);
        EXPECT_EQ(v.shownChildren(frameOfMeter), step.shown) << "gear " << step.gear;
        EXPECT_EQ(v.record.gearMeter.shownGear, step.gear);
    }
    // Deeper frames and the meter's own objects are never touched.
    EXPECT_TRUE(v.hidden(v["g1_detail"]));
    EXPECT_TRUE(v.shown(frameOfMeter));
}

TEST(GearMeter, GearAtFirstRenderIsShownOnTheSecond) {
    TestVehicle v(hiddenChildren(frameWithChildren("vx_gm", "g", 6)));
    v.sim->currentGear = 3;
    v.pass(10);
    EXPECT_EQ(v.shownChildren(v["vx_gm"]), Names{});
    v.pass(10);
    EXPECT_EQ(v.shownChildren(v["vx_gm"]), Names{"g3"});
}

TEST(GearMeter, SecondMeterFrameSharesTheFirstFramesDisplays) {
    TestVehicle v(frame("dash", {hiddenChildren(frameWithChildren("vx_gm", "a", 3)),
                                 frameWithChildren("vx_gm2", "b", 3)}));
    v.pass(10);
    v.sim->currentGear = 1;
    v.pass(11);
    EXPECT_EQ(v.shownChildren(v["vx_gm"]), Names{"a1"});
    EXPECT_EQ(v.shownChildren(v["vx_gm2"]), (Names{"b0", "b1", "b2"}));
}

}  // namespace
}  // namespace animtest
