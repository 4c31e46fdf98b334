#include <gtest/gtest.h>

#include "hostsim/sim_model.h"

namespace hostsim {
namespace {

TEST(SimModel, FramesAreLinkedInPreOrderWithCircularObjectLists) {
    SimModel model(FrameShape{
        "root", 0, false, {{"a", 2, false, {{"a1", 1, true, {}}}}, {"b", 1, false, {}}}});
    ASSERT_EQ(model.frameCount(), 4u);
    SimFrame* root = model.root();
    EXPECT_STREQ(root->name, "root");
    EXPECT_EQ(root->firstChild, model.frame(1));
    EXPECT_EQ(model.frame(1)->nextSibling, model.frame(3));
    EXPECT_EQ(model.frame(1)->firstChild, model.frame(2));
    EXPECT_EQ(model.frame(3)->nextSibling, nullptr);
    EXPECT_EQ(model.modelObject()->root, root);
    EXPECT_EQ(root->objectList.next, &root->objectList);

    SimLink* link = model.frame(1)->objectList.next;
    int objects = 0;
    for (; link != &model.frame(1)->objectList; link = link->next) {
        ++objects;
        EXPECT_EQ(*(reinterpret_cast<std::uint8_t*>(link) - 6), shownObjectFlags);
    }
    EXPECT_EQ(objects, 2);
    EXPECT_EQ(model.objectFlags(2, 0), hiddenObjectFlags);
}

TEST(SimModel, FlagChangesAreListedInFrameThenObjectOrder) {
    SimModel model(FrameShape{"root", 1, false, {{"a", 3, false, {}}}});
    const auto before = model.flagSnapshot();
    model.objectFlags(1, 2) = 0x01;
    model.objectFlags(0, 0) = 0x07;
    model.objectFlags(1, 0) = 0x01;
    const std::vector<FlagChange> expected = {{0, 0, 0x07}, {1, 0, 0x01}, {1, 2, 0x01}};
    EXPECT_EQ(model.flagChangesSince(before), expected);
}

}  // namespace
}  // namespace hostsim
