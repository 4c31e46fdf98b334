#include <algorithm>

#include "sim/check/child_slots.h"
#include "sim/check/warning_finders.h"
#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

ChildFrames childFramesOf(const ComponentUse& use) {
    return catalogueEntry(use.component).children;
}

std::string titleOf(const ComponentUse& use) { return std::string(componentTitle(use.component)); }

}  // namespace

void findNoChainLinks(const FrameRecord& frame, const ComponentUse& use,
                      std::vector<std::string>& messages) {
    if (childFramesOf(use) != ChildFrames::chainLinkSets || !frame.children.empty()) return;
    messages.push_back(titleOf(use) + ": no child frames: there are no link sets to show in turn");
}

void findNoGearDisplays(const FrameRecord& frame, const ComponentUse& use,
                        std::vector<std::string>& messages) {
    if (childFramesOf(use) != ChildFrames::gearDisplays || !frame.children.empty()) return;
    messages.push_back(titleOf(use) +
                       ": no child frames: there is no display to show for any gear");
}

void findFewGearDisplays(const FrameRecord& frame, const ComponentUse& use,
                         std::vector<std::string>& messages) {
    const std::size_t displays = frame.children.size();
    if (childFramesOf(use) != ChildFrames::gearDisplays || displays == 0 || !frame.highestGear)
        return;
    const auto highest = static_cast<std::size_t>(*frame.highestGear);
    if (highest + 1 <= displays) return;
    const std::string hidden = highest > displays ? "gears " + std::to_string(displays) + " to " +
                                                        std::to_string(highest) + " hide"
                                                  : "gear " + std::to_string(displays) + " hides";
    messages.push_back(titleOf(use) + ": " + std::to_string(displays) +
                       (displays == 1 ? " display" : " displays") + " (gears 0 to " +
                       std::to_string(displays - 1) + ") but its vehicles use gears up to " +
                       std::to_string(highest) + ": " + hidden +
                       " every display; add one child per gear, gear 0 first");
}

void findFewOdometerWheels(const FrameRecord& frame, const ComponentUse& use,
                           std::vector<std::string>& messages) {
    const std::size_t wheels = frame.children.size();
    if (childFramesOf(use) != ChildFrames::odometerWheels || wheels >= odometerWheelCount) return;
    messages.push_back(titleOf(use) + ": " + std::to_string(wheels) + " child frames but " +
                       countWord(odometerWheelCount) +
                       " digit wheels are needed, leftmost first: " +
                       missingDigitsText(wheels, odometerWheelCount));
}

void findSlotNameMismatch(const FrameRecord& frame, const ComponentUse& use,
                          std::vector<std::string>& messages) {
    const ChildFrames kind = childFramesOf(use);
    if (kind == ChildFrames::none) return;
    const std::size_t slots = kind == ChildFrames::odometerWheels
                                  ? std::min(frame.children.size(), odometerWheelCount)
                                  : frame.children.size();
    const std::string advice =
        ": exporters write children sorted by name, so name them to sort in slot order";
    if (kind == ChildFrames::gearDisplays) {
        std::vector<std::optional<long>> says;
        for (std::size_t gear = 0; gear < slots; ++gear)
            says.push_back(slotNumberInName(frame.children[gear].name, true));
        // "display1" to "display7" count the children from 1, not the gears.
        bool countsFromOne = true;
        for (std::size_t gear = 0; gear < slots; ++gear)
            countsFromOne = countsFromOne && says[gear] == static_cast<long>(gear + 1);
        if (countsFromOne) return;
        // Each display whose name ends in another gear's number, or in "N" away from gear 0.
        std::string wrong;
        for (std::size_t gear = 0; gear < slots; ++gear) {
            if (!says[gear] || *says[gear] == static_cast<long>(gear)) continue;
            wrong +=
                (wrong.empty() ? "" : ", ") + std::string("gear ") + std::to_string(gear) +
                " shows \"" + frame.children[gear].name + "\", named for " +
                (*says[gear] == 0 ? std::string("neutral") : "gear " + std::to_string(*says[gear]));
        }
        if (!wrong.empty())
            messages.push_back(titleOf(use) + ": " + wrong + advice +
                               " (\"gm_0_N\", \"gm_1\", \"gm_2\", ...)");
        return;
    }
    // Wheels and link sets: the numbers their names carry must rise in the order they are used.
    std::optional<long> previous;
    for (std::size_t i = 0; i < slots; ++i) {
        const std::optional<long> says = slotNumberInName(frame.children[i].name, false);
        if (!says) continue;
        if (previous && *says <= *previous) {
            const std::string order = kind == ChildFrames::odometerWheels
                                          ? "wheels, leftmost first"
                                          : "link sets, in child order";
            messages.push_back(titleOf(use) + ": the numbers in the names of its " + order +
                               ", do not rise: " + describeSlots(use.component, frame.children) +
                               advice);
            return;
        }
        previous = says;
    }
}

void findSetsAsGroups(const FrameRecord& frame, std::vector<FrameFinding>& findings) {
    for (const ComponentUse& use : frame.components) {
        const ChildFrames children = childFramesOf(use);
        if (children != ChildFrames::chainLinkSets && children != ChildFrames::gearDisplays)
            continue;
        const bool chain = children == ChildFrames::chainLinkSets;
        const std::string title = titleOf(use);
        for (std::size_t i = 0; i < frame.children.size(); ++i) {
            const ChildFrame& set = frame.children[i];
            if (!set.objectsOnlyBelow) continue;
            const std::string which = chain ? "link set " + std::to_string(i + 1)
                                            : "the display for gear " + std::to_string(i);
            const std::string what = chain ? "link set" : "display";
            findings.push_back(
                {use.component, title + ": " + which + " (\"" + set.name +
                                    "\") has no object of its own, only frames below it have: "
                                    "the " +
                                    title + " shows and hides a " + what +
                                    "'s own objects, so this one never hides; make each " + what +
                                    " one mesh object"});
        }
    }
}

}  // namespace sim::check
