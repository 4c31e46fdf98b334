// Which child fills each slot, and when a child's name says another slot: exporters write
// children sorted by name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/check/child_slots.h"
#include "sim/check/frame_warnings.h"

namespace sim::check {
namespace {

struct SlotCase {
    std::string frame;
    std::vector<std::string> children;
    std::string mismatch;  // part of the slot-name-mismatch message, or empty for none
};

const SlotCase slotCases[] = {
    // Gear meters: a display named for another gear, neutral included.
    {"vx_gm",
     {"gear_1", "gear_2", "gear_3", "gear_4", "gear_5", "gear_6", "gear_N"},
     "gear 0 shows \"gear_1\", named for gear 1, gear 1 shows \"gear_2\", named for gear 2"},
    {"vx_gm", {"gear_N", "gear_1", "gear_2"}, ""},
    {"vx_gm", {"gm_0_N", "gm_1", "gm_2", "gm_3"}, ""},  // sorts into slot order
    {"vx_gm", {"gm_3_N", "gm_1"}, "gear 0 shows \"gm_3_N\", named for gear 3"},
    {"vx_gm", {"gear_N.001", "gear1", "gear_2.001"}, ""},  // a copy suffix is not a number
    {"vx_gm", {"N", "gear_1"}, ""},
    {"vx_gm", {"neutral", "first", "second"}, ""},        // no number: nothing to say
    {"vx_gm", {"display1", "display2", "display3"}, ""},  // children counted from 1
    {"vx_gm", {"SCREEN", "gear_1", "PLAN"}, ""},          // an N ending a word is no gear
    {"vx_gm", {"a", "b", "gear_N"}, "gear 2 shows \"gear_N\", named for neutral"},
    {"vx_gm", {"gear_0", "gear_12345678901234567890"}, ""},  // no gear has so long a number
    // Odometer wheels, leftmost first; those after the sixth never turn.
    {"vx_om", {"w1", "w2", "w3", "w4", "w5", "w6", "w0"}, ""},
    {"vx_om", {"w6", "w5", "w4", "w3", "w2", "w1"}, "wheel 1 (leftmost) → w6, wheel 2 → w5"},
    {"vx_om", {"w1", "w2", "w3", "wheel", "w5", "w6"}, ""},
    // Link sets: numbers sorted as text past 9 are out of order.
    {"vx_chain", {"ls_1", "ls_10", "ls_2"}, "ls_1 → ls_2 → ls_10 → ls_1"},
    {"vx_chain", {"ls_01", "ls_02", "ls_10"}, ""},
    {"vx_chain", {"front", "back"}, ""},
};

TEST(ChildSlots, WarnsWhenANameSaysAnotherSlot) {
    for (const SlotCase& c : slotCases) {
        std::vector<ChildFrame> children;
        for (const std::string& name : c.children) children.push_back({name});
        std::vector<std::string> mismatches;
        for (const Warning& warning : frameWarnings(readFrame(c.frame, children, {})))
            if (warning.kind == WarningKind::slotNameMismatch)
                mismatches.push_back(warning.message);
        if (c.mismatch.empty()) {
            EXPECT_THAT(mismatches, ::testing::IsEmpty()) << c.children.front();
        } else {
            ASSERT_EQ(mismatches.size(), 1u) << c.children.front();
            EXPECT_THAT(mismatches[0], ::testing::HasSubstr(c.mismatch));
        }
    }
}

// The chain steps back through its children while the vehicle moves forward.
TEST(ChildSlots, ListsLinkSetsInTheOrderTheChainShowsThem) {
    const std::vector<ChildFrame> sets{{"a"}, {"b"}, {"c"}};
    EXPECT_EQ(namesInSlotOrder(Component::chain, sets), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(describeSlots(Component::chain, sets),
              "link sets in turn while moving forward: a → c → b → a");
}

}  // namespace
}  // namespace sim::check
