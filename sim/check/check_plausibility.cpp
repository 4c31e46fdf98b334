#include "sim/check/check_plausibility.h"

#include <charconv>
#include <cmath>
#include <string>

#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

constexpr double fullTurn = 360;

std::string written(const Parameter& parameter) {
    return quoted(std::string(parameter.rule->pattern.marker) + parameter.text);
}

double numberOf(const Parameter& parameter) {
    double number = 0;
    std::from_chars(parameter.value.data(), parameter.value.data() + parameter.value.size(),
                    number);
    return number;
}

void checkAngles(const ComponentUse& use, const std::string& title,
                 std::vector<Warning>& warnings) {
    const bool needle = catalogueEntry(use.component).motion == Motion::needle;
    for (const Parameter& parameter : use.parameters) {
        if (!parameter.converts || parameter.rule->unit != "degrees") continue;
        if (std::fabs(numberOf(parameter)) <= fullTurn) continue;
        warnings.push_back({WarningKind::angleBeyondTurn, use.component,
                            title + ": " + std::string(parameter.rule->label) + " " +
                                parameter.value + " degrees (from " + written(parameter) +
                                ") is more than a full turn: the " + (needle ? "needle" : "lever") +
                                " turns round more than once; write at most 360 degrees"});
    }
}

// A full scale out of any vehicle's reach; a needle left on its defaults.
void checkNeedleRange(const ComponentUse& use, const std::string& title,
                      std::vector<Warning>& warnings) {
    const Parameter& fullScale = use.parameters[0];
    if (fullScale.converts && numberOf(fullScale) > plausibleFullScale) {
        const std::string marker = quoted(fullScale.rule->pattern.marker);
        const std::string head = title + ": " + std::string(fullScale.rule->label) + " " +
                                 fullScale.value + (fullScale.rule->unit.empty() ? "" : " ") +
                                 std::string(fullScale.rule->unit) + " (from " +
                                 written(fullScale) + "): the needle reaches full scale only at " +
                                 fullScale.value + " km/h";
        warnings.push_back(
            {WarningKind::implausibleNeedleRange, use.component,
             use.component == Component::speedometer
                 ? head + ", so it barely moves; write the speed of full scale in km/h after " +
                       marker
                 : head +
                       " in first gear (later in higher gears), so it barely moves; the "
                       "max value is a speed in km/h, not engine revolutions: write after " +
                       marker + " the speed at which the needle reaches full scale in first gear"});
    }

    // A skipped marker's warning already says that the default applies.
    for (const Warning& warning : warnings) {
        if (warning.component == use.component && warning.kind == WarningKind::malformedMarker)
            return;
    }
    std::string defaults, markers;
    for (const Parameter& parameter : use.parameters) {
        if (parameter.fromName) return;
        const std::string_view unit = parameter.rule->unit;
        defaults += (defaults.empty() ? "" : ", ") + std::string(parameter.rule->label) + " " +
                    parameter.value + (unit.empty() ? "" : " ") + std::string(unit);
        markers += (markers.empty() ? "" : " and ") + quoted(parameter.rule->pattern.marker);
    }
    warnings.push_back({WarningKind::needleDefaults, use.component,
                        title + ": no parameters in the name, so the defaults apply: " + defaults +
                            "; write them after " + markers});
}

}  // namespace

void checkPlausibility(const ComponentUse& use, std::vector<Warning>& warnings) {
    const std::string title(componentTitle(use.component));
    checkAngles(use, title, warnings);
    if (catalogueEntry(use.component).motion == Motion::needle)
        checkNeedleRange(use, title, warnings);
}

void checkKilometresCase(std::string_view name, const std::vector<ComponentUse>& components,
                         std::vector<Warning>& warnings) {
    // With "_kph" itself in the name, another spelling changes nothing.
    if (nameHasKey(name, kilometresMarker)) return;
    const ComponentUse* odometer = nullptr;
    const ComponentUse* speedometer = nullptr;
    for (const ComponentUse& use : components) {
        if (use.component == Component::odometer) odometer = &use;
        if (use.component == Component::speedometer) speedometer = &use;
    }
    if (odometer == nullptr && speedometer == nullptr) return;
    const std::size_t size = kilometresMarker.size();
    for (std::size_t at = 0; at + size <= name.size(); ++at) {
        const std::string_view found = name.substr(at, size);
        if (lowered(found) != lowered(kilometresMarker)) continue;
        std::string message = quoted(found) + " at character " + std::to_string(at + 1) +
                              " is not \"_kph\": markers are case-sensitive, ";
        if (odometer != nullptr) {
            warnings.push_back(
                {WarningKind::kphCase, Component::odometer,
                 "odometer: " + message + "so the odometer counts miles; did you mean \"_kph\"?"});
        } else {
            warnings.push_back({WarningKind::kphCase, Component::speedometer,
                                "speedometer: " + message +
                                    "so it is not read; did you mean \"_kph\"? (It would not "
                                    "change the needle either, which always follows the speed "
                                    "in km/h.)"});
        }
        return;
    }
}

}  // namespace sim::check
