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

// "gear 0 (neutral) → gear_1, gear 1 → gear_2", or empty when there is nothing to show.
std::string describeSlots(Component component, const std::vector<ChildFrame>& children);

// The number a child's name ends in, for example 3 for "gear_3", "gear3" and "gear_3.001" (the
// suffix an editor adds to a copy is not read). With neutralWord, a last word "N" says 0, or
// the number just before it: "gear_N" says 0 and "gm_0_N" says 0. Nothing when the name does not
// end in a number.
std::optional<long> slotNumberInName(std::string_view name, bool neutralWord);

}  // namespace sim::check
