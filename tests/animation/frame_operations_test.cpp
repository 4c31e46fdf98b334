// Frame operations: rotations reach the host with the right axis and accumulate; render flags
// change in exactly one bit and only where they should; children are collected in sibling order.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "animation/frame_operations.h"
#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/sim_model.h"

namespace {

using hostsim::FlagChange;
using hostsim::FrameShape;
using hostsim::SimFrame;
using hostsim::SimModel;

HostFrame* host(SimFrame* frame) { return reinterpret_cast<HostFrame*>(frame); }

class FrameOperations : public testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::hostCallLog().clear();
    }
};

TEST_F(FrameOperations, RotationsTurnAboutTheirAxisAndUpdateTheFrame) {
    SimModel model(FrameShape{"root", 0, false, {{"a", 1, false, {}}, {"b", 1, false, {}}}});
    SimFrame* a = model.frame(1);
    SimFrame* b = model.frame(2);
    const struct {
        Axis turnAxis;
        SimFrame* frame;
        float angle;
        char axis;
    } calls[] = {
        {Axis::x, a, 1.0f, 'x'},  {Axis::x, a, -1.0f, 'x'},  {Axis::y, b, 0.0f, 'y'},
        {Axis::z, a, -2.5f, 'z'}, {Axis::y, a, 1e-30f, 'y'}, {Axis::z, b, 270.0f, 'z'},
    };
    const hostsim::HostCallLog& log = hostsim::hostCallLog();
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        rotateFrame(host(calls[i].frame), calls[i].turnAxis, calls[i].angle);
        // Every request reaches the host, even a turn by zero, and is followed by its update.
        ASSERT_EQ(log.rotations.size(), i + 1);
        ASSERT_EQ(log.updates.size(), i + 1);
        EXPECT_EQ(log.rotations[i].frame, calls[i].frame);
        EXPECT_EQ(log.rotations[i].axis, calls[i].axis);
        EXPECT_EQ(log.rotations[i].angle, calls[i].angle);
        EXPECT_EQ(log.updates[i], calls[i].frame);
    }
}

TEST_F(FrameOperations, RotationsAccumulate) {
    SimModel model(FrameShape{"root", 0, false, {{"lever", 1, false, {}}}});
    SimFrame* lever = model.frame(1);
    const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

    rotateFrame(host(lever), Axis::x, 30.0f);
    rotateFrame(host(lever), Axis::x, 60.0f);
    // Two turns about X make a quarter turn: Y goes to Z.
    EXPECT_NEAR(lever->matrix[4], 0.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(lever->matrix[5]), 1.0f, 1e-6f);
    EXPECT_NEAR(lever->matrix[0], 1.0f, 1e-6f);

    rotateFrame(host(lever), Axis::x, -90.0f);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(lever->matrix[i], identity[i], 1e-6f) << i;

    rotateFrame(host(lever), Axis::x, 1.0f);
    rotateFrame(host(lever), Axis::x, -1.0f);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(lever->matrix[i], identity[i], 1e-6f) << i;
}

// A parent whose own objects and grandchild objects must keep their flags, and children whose
// flag bytes carry other bits than the render flag.
SimModel familyModel() {
    return SimModel(FrameShape{"root",
                               0,
                               false,
                               {{"parent",
                                 2,
                                 false,
                                 {{"first", 3, false, {}},
                                  {"empty", 0, false, {}},
                                  {"third", 1, false, {{"grandchild", 2, false, {}}}}}},
                                {"uncle", 1, false, {}}}});
}

TEST_F(FrameOperations, HideChildrenClearsOnlyTheRenderBitOfDirectChildren) {
    SimModel model = familyModel();
    // frames: 0 root, 1 parent, 2 first, 3 empty, 4 third, 5 grandchild, 6 uncle
    model.objectFlags(1, 0) = 0x07;
    model.objectFlags(1, 1) = 0x04;
    model.objectFlags(2, 0) = 0x07;
    model.objectFlags(2, 1) = 0xFF;
    model.objectFlags(2, 2) = 0x03;  // already hidden
    model.objectFlags(4, 0) = 0x04;
    model.objectFlags(5, 0) = 0x07;
    model.objectFlags(5, 1) = 0x04;
    model.objectFlags(6, 0) = 0x07;
    const std::vector<std::uint8_t> before = model.flagSnapshot();

    hideChildren(host(model.frame(1)));

    const std::vector<FlagChange> expected = {{2, 0, 0x03}, {2, 1, 0xFB}, {4, 0, 0x00}};
    EXPECT_EQ(model.flagChangesSince(before), expected);
    EXPECT_TRUE(hostsim::hostCallLog().rotations.empty());
    EXPECT_TRUE(hostsim::hostCallLog().updates.empty());
}

TEST_F(FrameOperations, ShowFrameSetsOnlyTheRenderBitOfTheFramesOwnObjects) {
    SimModel model = familyModel();
    model.objectFlags(1, 0) = 0x00;
    model.objectFlags(1, 1) = 0xFB;
    for (int i = 0; i < 3; ++i) model.objectFlags(2, i) = 0x00;
    const std::vector<std::uint8_t> before = model.flagSnapshot();

    showFrame(host(model.frame(1)));

    const std::vector<FlagChange> expected = {{1, 0, 0x04}, {1, 1, 0xFF}};
    EXPECT_EQ(model.flagChangesSince(before), expected);
    EXPECT_TRUE(hostsim::hostCallLog().updates.empty());
}

TEST_F(FrameOperations, FramesWithoutChildrenOrObjectsAreLeftAlone) {
    SimModel model = familyModel();
    for (std::size_t f = 0; f < model.frameCount(); ++f) {
        for (int i = 0; i < model.objectCount(f); ++i) model.objectFlags(f, i) = 0x03;
    }
    const std::vector<std::uint8_t> before = model.flagSnapshot();
    hideChildren(host(model.frame(6)));  // no children
    showFrame(host(model.frame(3)));     // no objects
    showFrame(host(model.frame(0)));     // no objects, children hidden
    EXPECT_TRUE(model.flagChangesSince(before).empty());
}

TEST_F(FrameOperations, CollectChildrenAppendsInSiblingOrder) {
    SimModel model = familyModel();
    HostFrame* first = host(model.frame(2));
    HostFrame* empty = host(model.frame(3));
    HostFrame* third = host(model.frame(4));
    HostFrame* earlier = host(model.frame(6));

    const auto frames = [](const FrameList& list) {
        std::vector<HostFrame*> all;
        for (std::size_t i = 0; i < list.size(); ++i) all.push_back(list[i]);
        return all;
    };
    FrameList list;
    ASSERT_TRUE(list.push_back(earlier));
    EXPECT_TRUE(collectChildren(host(model.frame(1)), list));
    EXPECT_EQ(frames(list), (std::vector<HostFrame*>{earlier, first, empty, third}));

    // Past the first growth of the storage.
    EXPECT_TRUE(collectChildren(host(model.frame(1)), list));
    EXPECT_TRUE(collectChildren(host(model.frame(1)), list));
    EXPECT_EQ(frames(list), (std::vector<HostFrame*>{earlier, first, empty, third, first, empty,
                                                     third, first, empty, third}));

    EXPECT_TRUE(collectChildren(host(model.frame(2)), list));  // no children
    EXPECT_EQ(list.size(), 10u);

    FrameList grandchildren;
    EXPECT_TRUE(collectChildren(third, grandchildren));
    EXPECT_EQ(frames(grandchildren), (std::vector<HostFrame*>{host(model.frame(5))}));
}

}  // namespace
