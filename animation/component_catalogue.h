#pragma once
// Every component the library animates, in the order in which the update pass runs them on a
// frame: the key that marks its frames, what a model author may write in the name, how it moves
// and what its child frames stand for. Data only: the pass, the animators and the tools that
// explain a model all read it from here, and the animators themselves sit in animator_table.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "animation/axis.h"
#include "animation/name_parameters.h"

// Only frames whose name begins with this reach any component; every key begins with it too.
inline constexpr std::string_view componentPrefix = "vx_";
// Anywhere in an odometer or speedometer name: the unit is the kilometre instead of the mile.
inline constexpr std::string_view kilometresMarker = "_kph";

// In catalogue order.
enum class Component : std::uint8_t {
    chain,
    frontBrake,
    rearBrake,
    clutchLever,
    gearLever,
    gearMeter,
    odometer,
    speedometer,
    revCounter,
};
inline constexpr std::size_t componentCount = 9;

enum class Conversion : std::uint8_t { integer, floatingPoint };

// A number a component reads from its frame name when it first meets the frame.
struct ParameterRule {
    std::string_view label;  // "max angle"
    std::string_view unit;   // "degrees", "km/h", or empty for a plain number
    NamePattern pattern;
    std::string_view defaultText;  // read in place of a number the name does not hold
    Conversion conversion;
};

namespace parameters {
inline constexpr ParameterRule frontBrakeMaxAngle{"max angle", "degrees", patterns::zAngle, "0",
                                                  Conversion::integer};
inline constexpr ParameterRule rearBrakeMaxAngle{"max angle", "degrees", patterns::xAngle, "0",
                                                 Conversion::integer};
inline constexpr ParameterRule clutchLeverMaxAngle{"max angle", "degrees", patterns::zAngle, "0",
                                                   Conversion::integer};
inline constexpr ParameterRule gearLeverStroke{"stroke", "degrees", patterns::gearLeverStroke, "0",
                                               Conversion::integer};
inline constexpr ParameterRule speedometerMaxSpeed{
    "max speed", "km/h", patterns::speedometerMaxSpeed, "100", Conversion::integer};
inline constexpr ParameterRule speedometerMaxAngle{
    "max angle", "degrees", patterns::speedometerMaxAngle, "100", Conversion::floatingPoint};
inline constexpr ParameterRule revCounterMaxValue{"max value", "", patterns::revCounterMaxValue,
                                                  "100", Conversion::integer};
inline constexpr ParameterRule revCounterMaxAngle{
    "max angle", "degrees", patterns::revCounterMaxAngle, "100", Conversion::floatingPoint};

// Per component, in the order in which it reads them.
inline constexpr std::array frontBrake{frontBrakeMaxAngle};
inline constexpr std::array rearBrake{rearBrakeMaxAngle};
inline constexpr std::array clutchLever{clutchLeverMaxAngle};
inline constexpr std::array gearLever{gearLeverStroke};
inline constexpr std::array speedometer{speedometerMaxSpeed, speedometerMaxAngle};
inline constexpr std::array revCounter{revCounterMaxValue, revCounterMaxAngle};
}  // namespace parameters

// The rule's parameter in the name, converted as the rule says.
inline ParameterValue<std::int32_t> intParameter(std::string_view name, const ParameterRule& rule) {
    return intParameter(name, rule.pattern, rule.defaultText);
}
inline ParameterValue<float> floatParameter(std::string_view name, const ParameterRule& rule) {
    return floatParameter(name, rule.pattern, rule.defaultText);
}

enum class Motion : std::uint8_t {
    lever,     // whole-degree steps out to a maximum angle and back
    needle,    // eases towards a target angle on every pass
    flipBook,  // shows one child frame and hides the others
    counter,   // turns digit wheels as a reading changes
};

// What the direct children of a component's frame are, in sibling order.
enum class ChildFrames : std::uint8_t {
    none,            // not read
    chainLinkSets,   // shown one at a time, in turn
    gearDisplays,    // the first for gear 0, the next for gear 1, and so on
    odometerWheels,  // the digit wheels, leftmost first; later children never turn
};

// The odometer's digit wheels: its reading has this many digits, and a wheel showing digit d has
// turned d times this angle from its modelled pose.
inline constexpr std::size_t odometerWheelCount = 6;
inline constexpr double odometerDegreesPerDigit = 36.0;

// A lever steps at most once per |max angle| / divisor pass-time units, so a longer travel steps
// more slowly.
inline constexpr std::int32_t brakeStepDivisor = 5;
inline constexpr std::int32_t strokeStepDivisor = 10;  // clutch and gear lever

struct ComponentEntry {
    Component component;
    std::string_view key;    // "vx_fbrake", anywhere in the name
    std::string_view title;  // "front brake"
    std::span<const ParameterRule> parameters;
    Axis axis;
    Motion motion;
    ChildFrames children;
};

inline constexpr std::array<ComponentEntry, componentCount> componentCatalogue{{
    {Component::chain,
     "vx_chain",
     "chain",
     {},
     Axis::none,
     Motion::flipBook,
     ChildFrames::chainLinkSets},
    {Component::frontBrake, "vx_fbrake", "front brake", parameters::frontBrake, Axis::z,
     Motion::lever, ChildFrames::none},
    {Component::rearBrake, "vx_rbrake", "rear brake", parameters::rearBrake, Axis::x, Motion::lever,
     ChildFrames::none},
    {Component::clutchLever, "vx_cl", "clutch lever", parameters::clutchLever, Axis::z,
     Motion::lever, ChildFrames::none},
    {Component::gearLever, "vx_gl", "gear lever", parameters::gearLever, Axis::x, Motion::lever,
     ChildFrames::none},
    {Component::gearMeter,
     "vx_gm",
     "gear meter",
     {},
     Axis::none,
     Motion::flipBook,
     ChildFrames::gearDisplays},
    {Component::odometer,
     "vx_om",
     "odometer",
     {},
     Axis::x,
     Motion::counter,
     ChildFrames::odometerWheels},
    {Component::speedometer, "vx_sm", "speedometer", parameters::speedometer, Axis::y,
     Motion::needle, ChildFrames::none},
    {Component::revCounter, "vx_rpm", "rev counter", parameters::revCounter, Axis::y,
     Motion::needle, ChildFrames::none},
}};

constexpr const ComponentEntry& catalogueEntry(Component component) {
    return componentCatalogue[static_cast<std::size_t>(component)];
}

// The table is indexed by Component, every key carries the prefix, and every component that turns
// its frames has an axis to turn them about.
static_assert([] {
    for (std::size_t i = 0; i < componentCount; ++i) {
        const ComponentEntry& entry = componentCatalogue[i];
        if (static_cast<std::size_t>(entry.component) != i) return false;
        if (!entry.key.starts_with(componentPrefix)) return false;
        if ((entry.axis == Axis::none) != (entry.motion == Motion::flipBook)) return false;
    }
    return true;
}());
