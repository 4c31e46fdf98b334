#pragma once
// The animator of every component, indexed by Component: what the update pass calls unless it is
// handed another table.

#include <array>
#include <cstddef>

#include "animation/animators.h"
#include "animation/component_catalogue.h"

using AnimatorTable = std::array<Animator, componentCount>;

inline constexpr AnimatorTable animatorTable{
    animateChain,     animateFrontBrake, animateRearBrake,   animateClutchLever, animateGearLever,
    animateGearMeter, animateOdometer,   animateSpeedometer, animateRevCounter,
};

// The table follows the catalogue's order: a component moved there without its animator here
// would hand its frames to another component's animator.
constexpr bool animatorAt(Component component, Animator animator) {
    return animatorTable[static_cast<std::size_t>(component)] == animator;
}
static_assert(animatorAt(Component::chain, animateChain) &&
              animatorAt(Component::frontBrake, animateFrontBrake) &&
              animatorAt(Component::rearBrake, animateRearBrake) &&
              animatorAt(Component::clutchLever, animateClutchLever) &&
              animatorAt(Component::gearLever, animateGearLever) &&
              animatorAt(Component::gearMeter, animateGearMeter) &&
              animatorAt(Component::odometer, animateOdometer) &&
              animatorAt(Component::speedometer, animateSpeedometer) &&
              animatorAt(Component::revCounter, animateRevCounter));
