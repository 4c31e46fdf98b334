#pragma once
// The values of each name parameter that the checker accepts without a warning. The catalogue
// gives them as the parameter's range, so a tool that builds names offers only these, and the
// warnings that guard the limits read them from here.

#include <cstdint>

#include "animation/component_catalogue.h"

namespace sim::check {

// Beyond this many degrees either way a lever or needle turns round more than once.
inline constexpr std::int32_t fullTurn = 360;

// Above this, in km/h, a needle's full scale is out of any vehicle's reach. The rev counter's
// max value counts in the same unit: with the usual time step its needle reaches full scale in
// first gear at that speed in km/h, and later in higher gears. So a value in revolutions per
// minute (8000) leaves the needle at the bottom of its scale.
inline constexpr std::int32_t plausibleFullScale = 1000;

// Whole numbers, as a name writes them, from low to high but never 0: a lever or needle with an
// angle of 0 never moves, and a needle with a full scale of 0 swings to full scale at once. A
// brake's or the clutch lever's angle has either sign, so its values run from -360 to 360
// without 0.
struct AcceptedValues {
    std::int32_t low;
    std::int32_t high;
};

// rule: one of the component's parameters.
AcceptedValues acceptedValues(Component component, const ParameterRule& rule);

}  // namespace sim::check
