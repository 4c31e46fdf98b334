#include "sim/check/check_sets.h"

#include <string>

namespace sim::check {

namespace {

bool objectsBelow(const hostsim::FrameShape& frame) {
    for (const hostsim::FrameShape& child : frame.children) {
        if (child.objects > 0 || objectsBelow(child)) return true;
    }
    return false;
}

}  // namespace

void checkSetsAsGroups(const hostsim::FrameShape& frame, FrameFindings& findings) {
    for (const ComponentUse& use : findings.components) {
        const ChildFrames children = catalogueEntry(use.component).children;
        if (children != ChildFrames::chainLinkSets && children != ChildFrames::gearDisplays)
            continue;
        const bool chain = children == ChildFrames::chainLinkSets;
        for (std::size_t i = 0; i < frame.children.size(); ++i) {
            const hostsim::FrameShape& set = frame.children[i];
            if (set.objects > 0 || !objectsBelow(set)) continue;
            const std::string which = chain ? "link set " + std::to_string(i + 1)
                                            : "the display for gear " + std::to_string(i);
            const std::string what = chain ? "link set" : "display";
            findings.warnings.push_back(
                {WarningKind::setAsGroup, use.component,
                 std::string(componentTitle(use.component)) + ": " + which + " (\"" + set.name +
                     "\") has no object of its own, only frames below it have: the " +
                     std::string(componentTitle(use.component)) + " shows and hides a " + what +
                     "'s own objects, so this one never hides; make each " + what +
                     " one mesh object"});
        }
    }
}

}  // namespace sim::check
