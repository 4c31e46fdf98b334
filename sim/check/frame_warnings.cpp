#include "sim/check/frame_warnings.h"

#include <array>

#include "sim/check/warning_finders.h"

namespace sim::check {

namespace {

using K = WarningKind;

constexpr std::array rules{
    // Each component's, in the order the pass reads the component.
    WarningRule{K::noChainLinks, "no-chain-links", findNoChainLinks},
    WarningRule{K::noGearDisplays, "no-gear-displays", findNoGearDisplays},
    WarningRule{K::fewGearDisplays, "few-gear-displays", findFewGearDisplays},
    WarningRule{K::fewOdometerWheels, "few-odometer-wheels", findFewOdometerWheels},
    WarningRule{K::slotNameMismatch, "slot-name-mismatch", findSlotNameMismatch},
    WarningRule{K::outOfRange, "out-of-range", findOutOfRange},
    WarningRule{K::zeroMaximum, "zero-maximum", findZeroMaximum},
    WarningRule{K::zeroAngle, "zero-angle", findZeroAngle},
    WarningRule{K::negativeStroke, "negative-stroke", findNegativeStroke},
    WarningRule{K::kphOnSpeedometer, "kph-on-speedometer", findKphOnSpeedometer},
    WarningRule{K::malformedMarker, "malformed-marker", findMalformedMarkers},
    WarningRule{K::angleBeyondTurn, "angle-beyond-turn", findAngleBeyondTurn},
    WarningRule{K::implausibleNeedleRange, "implausible-needle-range", findImplausibleNeedleRange},
    WarningRule{K::needleDefaults, "needle-defaults", findNeedleDefaults},
    WarningRule{K::nonUniformParentScale, "non-uniform-parent-scale", findNonUniformParentScale},
    WarningRule{K::mirroredMovingPart, "mirrored-moving-part", findMirroredMovingPart},
    // The frame's own.
    WarningRule{K::prefixCase, "prefix-case", nullptr, findPrefixCase},
    WarningRule{K::keyWithoutPrefix, "key-without-prefix", nullptr, findKeyWithoutPrefix},
    WarningRule{K::kphCase, "kph-case", nullptr, findKphCase},
    WarningRule{K::noKey, "no-key", nullptr, findNoKey},
    WarningRule{K::setAsGroup, "set-as-group", nullptr, findSetsAsGroups},
    // Found by check_scene.cpp over the model's frames together.
    WarningRule{K::sharedKey, "shared-key"},
};

// Every kind has its row, and every row a code of its own.
constexpr bool everyKindOnce() {
    std::array<int, rules.size()> rows{};
    for (const WarningRule& rule : rules) {
        const auto kind = static_cast<std::size_t>(rule.kind);
        if (kind >= rows.size()) return false;
        ++rows[kind];
        for (const WarningRule& other : rules)
            if (&other != &rule && other.code == rule.code) return false;
    }
    for (const int count : rows)
        if (count != 1) return false;
    return true;
}
static_assert(everyKindOnce());

}  // namespace

std::span<const WarningRule> warningRules() { return rules; }

std::string_view warningCode(WarningKind kind) {
    for (const WarningRule& rule : rules)
        if (rule.kind == kind) return rule.code;
    return "";
}

std::vector<Warning> frameWarnings(const FrameRecord& frame) {
    std::vector<Warning> warnings;
    std::vector<std::string> messages;
    for (const ComponentUse& use : frame.components) {
        for (const WarningRule& rule : rules) {
            if (rule.forComponent == nullptr) continue;
            messages.clear();
            rule.forComponent(frame, use, messages);
            for (std::string& message : messages)
                warnings.push_back({rule.kind, use.component, std::move(message)});
        }
    }
    std::vector<FrameFinding> findings;
    for (const WarningRule& rule : rules) {
        if (rule.forFrame == nullptr) continue;
        findings.clear();
        rule.forFrame(frame, findings);
        for (FrameFinding& found : findings)
            warnings.push_back({rule.kind, found.component, std::move(found.message)});
    }
    return warnings;
}

}  // namespace sim::check
