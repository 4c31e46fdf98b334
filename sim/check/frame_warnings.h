#pragma once
// Every warning the checker gives, in one table: its code in the JSON document and the function
// that finds it over a frame's record. A new warning is a value here, its finder and its row in
// frame_warnings.cpp.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/check/frame_record.h"

namespace sim::check {

enum class WarningKind {
    noKey,             // a "vx_" frame that no component takes
    keyWithoutPrefix,  // a key in a frame that does not begin with "vx_"
    prefixCase,        // "VX_..." and the like: the prefix is case-sensitive
    sharedKey,         // a second frame with the same key on one model
    noChainLinks,
    noGearDisplays,
    fewGearDisplays,
    fewOdometerWheels,
    outOfRange,   // the conversion fails
    zeroMaximum,  // a needle's full-scale speed or value of 0
    zeroAngle,    // a lever or needle that never moves
    negativeStroke,
    kphOnSpeedometer,
    malformedMarker,
    angleBeyondTurn,         // a lever's or needle's angle of more than a full turn
    implausibleNeedleRange,  // a full scale far beyond any vehicle's speed
    kphCase,                 // "_KPH" and the like: markers are case-sensitive
    needleDefaults,          // a needle without parameters in its name
    setAsGroup,              // a link set or gear display whose objects all sit below it
    slotNameMismatch,        // a child whose name says another slot than the one it fills
    nonUniformParentScale,   // a moving part under a scale that differs between axes
    mirroredMovingPart,      // a moving part with a negative scale, its own or above it
};

struct Warning {
    WarningKind kind;
    std::optional<Component> component;  // the component it concerns, if one
    std::string message;
};

// A finder adds one message per fault it sees. One for a component of the frame gives messages
// about that component; one for the whole frame says which component each concerns, if one.
using ComponentFinder = void (*)(const FrameRecord& frame, const ComponentUse& use,
                                 std::vector<std::string>& messages);
struct FrameFinding {
    std::optional<Component> component;
    std::string message;
};
using FrameFinder = void (*)(const FrameRecord& frame, std::vector<FrameFinding>& findings);

struct WarningRule {
    WarningKind kind;
    std::string_view code;  // "zero-angle"; published, so never changes meaning
    ComponentFinder forComponent = nullptr;
    FrameFinder forFrame = nullptr;  // neither: found over the model's frames together
};

// In the order the warnings of a frame are given: each component's, then the frame's own.
std::span<const WarningRule> warningRules();

std::string_view warningCode(WarningKind kind);

// The frame's warnings: for each component in the record's order, the component rules in table
// order; then the frame rules.
std::vector<Warning> frameWarnings(const FrameRecord& frame);

}  // namespace sim::check
