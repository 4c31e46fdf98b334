#pragma once
// Which child frame fills each slot of a component that shows its children in turn, and the slot
// a child's name says it is for. Exporters commonly write children sorted by name, so a gear
// meter's "gear_N" can land after "gear_6" and show for the wrong gear.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/check/frame_record.h"

namespace sim::check {

// The children's names in the order the component uses them: gear 0 first; odometer wheels
// leftmost first (children after the last wheel left out); link sets in the order the chain
// shows them while the vehicle moves forward, starting with the first child. Empty for a
// component without child slots.
std::vector<std::string> namesInSlotOrder(Component component,
                                          const std::vector<ChildFrame>& children);

// Each slot and the child that fills it, one line a slot: "gear 0 (neutral) → gear_1",
// "gear 1 → gear_2"; "wheel 1 (leftmost) → w_1"; a chain's one line "link sets in turn while
// moving forward: a → c → b → a". A gear meter's line i is gear i's. Empty for a component
// without child slots or without children.
std::vector<std::string> slotLines(Component component, const std::vector<ChildFrame>& children);

// The slot lines in one: "gear 0 (neutral) → gear_1, gear 1 → gear_2", or empty.
std::string describeSlots(Component component, const std::vector<ChildFrame>& children);

// The number a child's name ends in, for example 3 for "gear_3", "gear3" and "gear_3.001" (the
// suffix an editor adds to a copy is not read). With neutralWord, a last word "N" says 0, or
// the number just before it: "gear_N" says 0 and "gm_0_N" says 0. Nothing when the name does not
// end in a number.
std::optional<long> slotNumberInName(std::string_view name, bool neutralWord);

}  // namespace sim::check
