#include "sim/check/check_names.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <stdexcept>

#include "animation/key_scan.h"
#include "sim/check/check_plausibility.h"
#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

std::string showFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The parameter exactly as the animator reads it.
Parameter readParameter(std::string_view name, const ParameterRule& rule) {
    Parameter parameter{&rule, {}, false, true, {}};
    // A capture is never empty, so an empty default tells a missing parameter apart.
    const std::string captured = nameParameter(name, rule.pattern, "");
    parameter.fromName = !captured.empty();
    parameter.text = parameter.fromName ? captured : std::string(rule.defaultText);
    try {
        if (rule.conversion == Conversion::floatingPoint) {
            parameter.value = showFloat(floatParameter(name, rule));
        } else {
            parameter.value = std::to_string(intParameter(name, rule));
        }
    } catch (const std::out_of_range&) {
        parameter.converts = false;
    }
    return parameter;
}

std::string whereFrom(const Parameter& parameter) {
    return parameter.fromName
               ? "from " + quoted(std::string(parameter.rule->pattern.marker) + parameter.text)
               : "default";
}

// Byte ranges of every key in the name: a marker letter inside a key is part of the key.
std::vector<std::pair<std::size_t, std::size_t>> keyRanges(std::string_view name) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const ComponentEntry& entry : componentCatalogue) {
        for (std::size_t at = name.find(entry.key); at != std::string_view::npos;
             at = name.find(entry.key, at + 1)) {
            ranges.emplace_back(at, at + entry.key.size());
        }
    }
    for (std::size_t at = name.find(kilometresMarker); at != std::string_view::npos;
         at = name.find(kilometresMarker, at + 1)) {
        ranges.emplace_back(at, at + kilometresMarker.size());
    }
    return ranges;
}

bool insideKey(const std::vector<std::pair<std::size_t, std::size_t>>& ranges, std::size_t at,
               std::size_t size) {
    for (const auto& [begin, end] : ranges) {
        if (at >= begin && at + size <= end) return true;
    }
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Occurrences of the marker that the library skips. Single-letter markers ("m", "r", "_") stand in
// ordinary words and between words, so for them only an attempted signed number is reported.
void reportMalformedMarkers(std::string_view name, const ParameterRule& rule, Component component,
                            std::vector<Warning>& warnings) {
    const std::string_view marker = rule.pattern.marker;
    const auto ranges = keyRanges(name);
    for (std::size_t at = name.find(marker); at != std::string_view::npos;
         at = name.find(marker, at + 1)) {
        if (insideKey(ranges, at, marker.size())) continue;
        // Cut before the next occurrence: the piece holds this occurrence only, and the library
        // finds a number in it exactly when this occurrence is followed by one.
        const std::size_t next = name.find(marker, at + 1);
        const std::string_view piece =
            name.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at);
        if (!nameParameter(piece, rule.pattern, "").empty()) continue;
        const std::size_t after = at + marker.size();
        const bool signedNumber = after + 1 < name.size() &&
                                  (name[after] == '-' || name[after] == '+') &&
                                  isDigit(name[after + 1]);
        if (marker.size() == 1 && !signedNumber) continue;

        // Shown up to the next word, as the author wrote it.
        std::size_t end = std::min(piece.size(), marker.size() + 6);
        const std::size_t nextWord = piece.find('_', marker.size());
        if (nextWord != std::string_view::npos && nextWord < end) end = nextWord;
        const std::string shown(piece.substr(0, end));
        std::string message = std::string(componentTitle(component)) + ": " + quoted(shown) +
                              " at character " + std::to_string(at + 1) + " is skipped: ";
        const bool plusSign = signedNumber && name[after] == '+';
        if (plusSign) {
            // No pattern takes a '+', so the number after it is never read.
            message += "a plus sign after " + quoted(marker) + " is not read";
        } else if (signedNumber && !rule.pattern.allowsMinus) {
            message += "the " + std::string(rule.label) + " takes no sign";
        } else {
            message += quoted(marker) + " is not followed by a number";
        }
        const std::string used = nameParameter(name, rule.pattern, "");
        message += used.empty() ? ", so the " + std::string(rule.label) + " is the default " +
                                      std::string(rule.defaultText)
                                : ", the " + std::string(rule.label) + " comes from " +
                                      quoted(std::string(marker) + used);
        if (plusSign) {
            std::size_t digits = after + 1;
            while (digits < name.size() && isDigit(name[digits])) ++digits;
            message += "; write " + quoted(std::string(marker) +
                                           std::string(name.substr(after + 1, digits - after - 1)));
        }
        warnings.push_back({WarningKind::malformedMarker, component, message});
    }
}

// An angle that fails to convert or leaves the lever still; a gear lever's sign.
void checkLeverParameters(const ComponentUse& use, std::vector<Warning>& warnings) {
    const Parameter& angle = use.parameters[0];
    const std::string title(componentTitle(use.component));
    const std::string marker(angle.rule->pattern.marker);
    const std::string label(angle.rule->label);
    if (!angle.converts) {
        warnings.push_back({WarningKind::outOfRange, use.component,
                            title + ": " + quoted(marker + angle.text) +
                                " is out of range for a 32-bit integer: the lever keeps " + label +
                                " 0 and never moves"});
        return;
    }
    if (angle.value == "0") {
        warnings.push_back({WarningKind::zeroAngle, use.component,
                            title + ": " + label + " 0 (" + whereFrom(angle) +
                                "): the lever never moves; write the angle in degrees after " +
                                quoted(marker)});
    } else if (use.component == Component::gearLever && angle.value[0] == '-') {
        warnings.push_back(
            {WarningKind::negativeStroke, use.component,
             title + ": stroke " + angle.value +
                 " is negative: the sign is dropped, each stroke's direction comes from the gear "
                 "change; write " +
                 quoted(marker + angle.value.substr(1))});
    }
}

// Parameters that fail to convert, or leave the needle still or always at full scale.
void checkNeedleParameters(std::string_view name, const ComponentUse& use,
                           std::vector<Warning>& warnings) {
    const std::string title(componentTitle(use.component));
    const Parameter& maximum = use.parameters[0];
    const Parameter& angle = use.parameters[1];
    for (const Parameter& parameter : use.parameters) {
        if (parameter.converts) continue;
        warnings.push_back(
            {WarningKind::outOfRange, use.component,
             title + ": " + quoted(std::string(parameter.rule->pattern.marker) + parameter.text) +
                 " is out of range for a 32-bit " +
                 (parameter.rule->conversion == Conversion::floatingPoint ? "float" : "integer") +
                 ": this frame never configures the needle"});
    }
    if (maximum.converts && maximum.value == "0") {
        const char* when = use.component == Component::speedometer ? "at any forward speed"
                                                                   : "whenever the engine runs";
        warnings.push_back({WarningKind::zeroMaximum, use.component,
                            title + ": " + std::string(maximum.rule->label) + " 0 (" +
                                whereFrom(maximum) + "): the needle swings to full scale " + when});
    }
    if (angle.converts && angle.value == "0") {
        warnings.push_back(
            {WarningKind::zeroAngle, use.component,
             title + ": max angle 0 (" + whereFrom(angle) + "): the needle never moves"});
    }
    if (use.component == Component::speedometer && nameHasKey(name, kilometresMarker)) {
        warnings.push_back(
            {WarningKind::kphOnSpeedometer, use.component,
             title + ": \"_kph\" has no effect on the needle, which always follows the speed in "
                     "km/h; set the full scale with \"m\""});
    }
}

// What the component finds among the frame's children, for its line in the report.
std::string childrenDetail(const ComponentEntry& entry, std::size_t childCount,
                           std::optional<int> highestGear, std::string_view name) {
    const std::string count = std::to_string(childCount);
    switch (entry.children) {
        case ChildFrames::chainLinkSets:
            return count + (childCount == 1 ? " link set" : " link sets");
        case ChildFrames::gearDisplays: {
            std::string detail = count + (childCount == 1 ? " display" : " displays");
            if (childCount > 0) detail += " (gears 0 to " + std::to_string(childCount - 1) + ")";
            if (highestGear)
                detail += ", its vehicles use gears up to " + std::to_string(*highestGear);
            return detail;
        }
        case ChildFrames::odometerWheels: {
            std::string detail =
                std::to_string(std::min(childCount, odometerWheelCount)) + " digit wheels";
            if (childCount > odometerWheelCount) {
                detail +=
                    " (children after the " + ordinalWord(odometerWheelCount) + " never turn)";
            }
            detail += nameHasKey(name, kilometresMarker) ? ", counts kilometres (\"_kph\")"
                                                         : ", counts miles (no \"_kph\")";
            return detail;
        }
        case ChildFrames::none:
            break;
    }
    return {};
}

// Too few children for what the component shows in turn.
void checkChildren(const ComponentEntry& entry, std::size_t childCount,
                   std::optional<int> highestGear, std::vector<Warning>& warnings) {
    const Component component = entry.component;
    const std::string title(entry.title);
    const std::string count = std::to_string(childCount);
    switch (entry.children) {
        case ChildFrames::chainLinkSets:
            if (childCount == 0) {
                warnings.push_back(
                    {WarningKind::noChainLinks, component,
                     title + ": no child frames: there are no link sets to show in turn"});
            }
            return;
        case ChildFrames::gearDisplays:
            if (childCount == 0) {
                warnings.push_back(
                    {WarningKind::noGearDisplays, component,
                     title + ": no child frames: there is no display to show for any gear"});
            } else if (highestGear && static_cast<std::size_t>(*highestGear) + 1 > childCount) {
                const std::string hidden = static_cast<std::size_t>(*highestGear) > childCount
                                               ? "gears " + std::to_string(childCount) + " to " +
                                                     std::to_string(*highestGear) + " hide"
                                               : "gear " + std::to_string(childCount) + " hides";
                warnings.push_back(
                    {WarningKind::fewGearDisplays, component,
                     title + ": " + count + (childCount == 1 ? " display" : " displays") +
                         " (gears 0 to " + std::to_string(childCount - 1) +
                         ") but its vehicles use gears up to " + std::to_string(*highestGear) +
                         ": " + hidden + " every display; add one child per gear, gear 0 first"});
            }
            return;
        case ChildFrames::odometerWheels:
            if (childCount < odometerWheelCount) {
                warnings.push_back({WarningKind::fewOdometerWheels, component,
                                    title + ": " + count + " child frames but " +
                                        countWord(odometerWheelCount) +
                                        " digit wheels are needed, leftmost first: " +
                                        missingDigitsText(childCount, odometerWheelCount)});
            }
            return;
        case ChildFrames::none:
            return;
    }
}

}  // namespace

std::string_view componentKey(Component component) { return catalogueEntry(component).key; }
std::string_view componentTitle(Component component) { return catalogueEntry(component).title; }

FrameFindings checkFrameName(std::string_view name, std::size_t childCount,
                             std::optional<int> highestGear) {
    FrameFindings findings;
    findings.prefixed = name.starts_with(componentPrefix);
    if (!findings.prefixed) {
        if (lowered(name.substr(0, componentPrefix.size())) == componentPrefix) {
            findings.warnings.push_back(
                {WarningKind::prefixCase, std::nullopt,
                 "begins with " + quoted(name.substr(0, componentPrefix.size())) + ": the prefix " +
                     quoted(componentPrefix) +
                     " is case-sensitive, so no component takes this frame"});
            return findings;
        }
        const ComponentSet found = componentKeysInText(name);
        std::string keys;
        for (const ComponentEntry& entry : componentCatalogue) {
            if (holdsComponent(found, entry.component))
                keys += (keys.empty() ? "" : ", ") + quoted(entry.key);
        }
        if (!keys.empty()) {
            findings.warnings.push_back({WarningKind::keyWithoutPrefix, std::nullopt,
                                         "contains " + keys + " but does not begin with " +
                                             quoted(componentPrefix) +
                                             ": the key is ignored and the frame is not animated"});
        }
        return findings;
    }

    // Every component whose key the name holds, in the order the pass runs them.
    const ComponentSet found = componentKeysInText(name);
    for (const ComponentEntry& entry : componentCatalogue) {
        if (!holdsComponent(found, entry.component)) continue;
        ComponentUse use{entry.component, {}, {}, true};
        for (const ParameterRule& rule : entry.parameters) {
            use.parameters.push_back(readParameter(name, rule));
            use.configures = use.configures && use.parameters.back().converts;
        }
        use.detail = childrenDetail(entry, childCount, highestGear, name);
        checkChildren(entry, childCount, highestGear, findings.warnings);
        if (entry.motion == Motion::lever) checkLeverParameters(use, findings.warnings);
        if (entry.motion == Motion::needle) checkNeedleParameters(name, use, findings.warnings);
        for (const ParameterRule& rule : entry.parameters) {
            // A pattern two components of this frame share ("_az") is reported once.
            bool seen = false;
            for (const ComponentUse& earlier : findings.components) {
                for (const Parameter& p : earlier.parameters)
                    seen = seen || p.rule->pattern.marker == rule.pattern.marker;
            }
            if (!seen) reportMalformedMarkers(name, rule, entry.component, findings.warnings);
        }
        checkPlausibility(use, findings.warnings);
        findings.components.push_back(std::move(use));
    }

    checkKilometresCase(name, findings.components, findings.warnings);
    if (findings.components.empty()) {
        std::string message = "begins with " + quoted(componentPrefix) +
                              " but carries no component key, so nothing drives it";
        if (const ComponentSet folded = componentKeysInText(lowered(name)); folded != 0) {
            message += " (keys are case-sensitive: did you mean " +
                       quoted(componentCatalogue[std::countr_zero(folded)].key) + "?)";
        }
        findings.warnings.push_back({WarningKind::noKey, std::nullopt, message});
    }
    return findings;
}

std::string shownValue(const Parameter& parameter) {
    if (parameter.converts) return parameter.value;
    return "out of range (" + quoted(std::string(parameter.rule->pattern.marker) + parameter.text) +
           ")";
}

std::string describeComponent(const ComponentUse& use) {
    std::string line(componentTitle(use.component));
    line += ":";
    bool first = true;
    for (const Parameter& parameter : use.parameters) {
        line += first ? " " : ", ";
        first = false;
        line += std::string(parameter.rule->label) + " " + shownValue(parameter);
        if (parameter.converts) {
            const std::string_view unit = parameter.rule->unit;
            line +=
                (unit.empty() ? "" : " " + std::string(unit)) + " (" + whereFrom(parameter) + ")";
        }
    }
    if (!use.detail.empty()) line += (first ? " " : ", ") + use.detail;
    return line;
}

}  // namespace sim::check
