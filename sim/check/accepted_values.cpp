#include "sim/check/accepted_values.h"

namespace sim::check {

AcceptedValues acceptedValues(Component component, const ParameterRule& rule) {
    if (rule.unit != "degrees") return {1, plausibleFullScale};  // a needle's full scale
    // The gear lever drops the sign: each stroke's direction comes from the gear change.
    if (rule.pattern.allowsMinus && component != Component::gearLever) return {-fullTurn, fullTurn};
    return {1, fullTurn};
}

}  // namespace sim::check
