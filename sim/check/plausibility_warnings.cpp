#include <charconv>
#include <cmath>

#include "sim/check/accepted_values.h"
#include "sim/check/warning_finders.h"
#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

double numberOf(const Parameter& parameter) {
    double number = 0;
    std::from_chars(parameter.value.data(), parameter.value.data() + parameter.value.size(),
                    number);
    return number;
}

bool isNeedle(const ComponentUse& use) {
    return catalogueEntry(use.component).motion == Motion::needle;
}

}  // namespace

void findAngleBeyondTurn(const FrameRecord&, const ComponentUse& use,
                         std::vector<std::string>& messages) {
    const std::string title(componentTitle(use.component));
    for (const Parameter& parameter : use.parameters) {
        if (!parameter.converts || parameter.rule->unit != "degrees") continue;
        if (std::fabs(numberOf(parameter)) <= acceptedValues(use.component, *parameter.rule).high)
            continue;
        messages.push_back(
            title + ": " + std::string(parameter.rule->label) + " " + parameter.value +
            " degrees (from " + written(parameter) + ") is more than a full turn: the " +
            (isNeedle(use) ? "needle" : "lever") + " turns round more than once; write at most " +
            std::to_string(fullTurn) + " degrees");
    }
}

void findImplausibleNeedleRange(const FrameRecord&, const ComponentUse& use,
                                std::vector<std::string>& messages) {
    if (!isNeedle(use)) return;
    const Parameter& fullScale = use.parameters[0];
    if (!fullScale.converts ||
        numberOf(fullScale) <= acceptedValues(use.component, *fullScale.rule).high)
        return;
    const std::string marker = quoted(fullScale.rule->pattern.marker);
    const std::string head =
        std::string(componentTitle(use.component)) + ": " + std::string(fullScale.rule->label) +
        " " + fullScale.value + (fullScale.rule->unit.empty() ? "" : " ") +
        std::string(fullScale.rule->unit) + " (from " + written(fullScale) +
        "): the needle reaches full scale only at " + fullScale.value + " km/h";
    messages.push_back(
        use.component == Component::speedometer
            ? head + ", so it barely moves; write the speed of full scale in km/h after " + marker
            : head +
                  " in first gear (later in higher gears), so it barely moves; the "
                  "max value is a speed in km/h, not engine revolutions: write after " +
                  marker + " the speed at which the needle reaches full scale in first gear");
}

void findNeedleDefaults(const FrameRecord&, const ComponentUse& use,
                        std::vector<std::string>& messages) {
    // A skipped marker's warning already says that the default applies.
    if (!isNeedle(use) || !use.skipped.empty()) return;
    std::string defaults, markers;
    for (const Parameter& parameter : use.parameters) {
        if (parameter.fromName) return;
        const std::string_view unit = parameter.rule->unit;
        defaults += (defaults.empty() ? "" : ", ") + std::string(parameter.rule->label) + " " +
                    parameter.value + (unit.empty() ? "" : " ") + std::string(unit);
        markers += (markers.empty() ? "" : " and ") + quoted(parameter.rule->pattern.marker);
    }
    messages.push_back(std::string(componentTitle(use.component)) +
                       ": no parameters in the name, so the defaults apply: " + defaults +
                       "; write them after " + markers);
}

}  // namespace sim::check
