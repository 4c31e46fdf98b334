#pragma once
// The animator of every component, indexed by Component: what the update pass calls unless it is
// handed another table.

#include <array>

#include "animation/animators.h"
#include "animation/component_catalogue.h"

using AnimatorTable = std::array<Animator, componentCount>;

inline constexpr AnimatorTable animatorTable{
    animateChain,     animateFrontBrake, animateRearBrake,   animateClutchLever, animateGearLever,
    animateGearMeter, animateOdometer,   animateSpeedometer, animateRevCounter,
};
