#pragma once
// Values the library reads without complaint but that no working model means: an angle of more
// than a full turn, a needle's full scale far beyond any vehicle's speed, "_KPH" for "_kph", a
// needle left on its defaults.

#include <string_view>
#include <vector>

#include "sim/check/check_names.h"

namespace sim::check {

// Above this, in km/h, a needle's full scale is out of any vehicle's reach. The rev counter's
// max value counts in the same unit: with the usual time step its needle reaches full scale in
// first gear at that speed in km/h, and later in higher gears. So a value in revolutions per
// minute (8000) leaves the needle at the bottom of its scale.
inline constexpr double plausibleFullScale = 1000;

// The warnings for one component of the frame, after the frame's other warnings so far.
void checkPlausibility(const ComponentUse& use, std::vector<Warning>& warnings);

// "_kph" in another case on an odometer or a speedometer frame, once per frame.
void checkKilometresCase(std::string_view name, const std::vector<ComponentUse>& components,
                         std::vector<Warning>& warnings);

}  // namespace sim::check
