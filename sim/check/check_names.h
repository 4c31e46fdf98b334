#pragma once
// What the library will make of one frame name: the components it drives, their parameters as the
// library reads them (through the library's own name-parameter code), and what a model author
// should fix.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "animation/component_catalogue.h"

namespace sim::check {

// The component's key and title, as the catalogue gives them.
std::string_view componentKey(Component component);
std::string_view componentTitle(Component component);  // "front brake"

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
};

struct Warning {
    WarningKind kind;
    std::optional<Component> component;  // the component it concerns, if one
    std::string message;
};

struct Parameter {
    const ParameterRule* rule;
    std::string text;  // what the pattern captured, or the default text
    bool fromName = false;
    bool converts = true;  // false: out of range, the library's conversion fails
    std::string value;     // the converted value as shown to the author
};

struct ComponentUse {
    Component component;
    std::vector<Parameter> parameters;
    std::string detail;      // children and units, for the components that have them
    bool configures = true;  // every parameter converts
};

struct FrameFindings {
    bool prefixed = false;  // begins with "vx_": the pass hands it to the animators
    std::vector<ComponentUse> components;
    std::vector<Warning> warnings;
};

// childCount: the frame's direct children. highestGear: the highest gear value that vehicles of
// this model use (set by the scene, or for a model file by --gears or its kind), if known.
FrameFindings checkFrameName(std::string_view name, std::size_t childCount,
                             std::optional<int> highestGear);

// The parameter's value as the author should see it, for example -30 or
//   out of range ("_az99999999999")
std::string shownValue(const Parameter& parameter);

// One line for a component, for example
//   front brake: max angle -30 (from "_az-30")
std::string describeComponent(const ComponentUse& use);

}  // namespace sim::check
