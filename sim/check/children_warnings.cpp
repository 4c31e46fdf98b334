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
