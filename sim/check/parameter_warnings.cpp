#include <utility>

#include "sim/check/document_words.h"
#include "sim/check/warning_finders.h"
#include "sim/formats/message_words.h"

namespace sim::check {

namespace {

Motion motionOf(const ComponentUse& use) { return catalogueEntry(use.component).motion; }

std::string titleOf(const ComponentUse& use) { return std::string(componentTitle(use.component)); }

}  // namespace

void findOutOfRange(const FrameRecord&, const ComponentUse& use,
                    std::vector<std::string>& messages) {
    if (motionOf(use) == Motion::lever) {
        const Parameter& angle = use.parameters[0];
        if (angle.converts) return;
        messages.push_back(titleOf(use) + ": " + written(angle) +
                           " is out of range for a 32-bit integer: the lever keeps " +
                           std::string(angle.rule->label) + " 0 and never moves");
    } else if (motionOf(use) == Motion::needle) {
        for (const Parameter& parameter : use.parameters) {
            if (parameter.converts) continue;
            messages.push_back(titleOf(use) + ": " + written(parameter) +
                               " is out of range for a 32-bit " +
                               std::string(conversionWord(parameter.rule->conversion)) +
                               ": this frame never configures the needle");
        }
    }
}

void findZeroMaximum(const FrameRecord&, const ComponentUse& use,
                     std::vector<std::string>& messages) {
    if (motionOf(use) != Motion::needle) return;
    const Parameter& maximum = use.parameters[0];
    if (!maximum.converts || maximum.value != "0") return;
    const char* when = use.component == Component::speedometer ? "at any forward speed"
                                                               : "whenever the engine runs";
    messages.push_back(titleOf(use) + ": " + std::string(maximum.rule->label) + " 0 (" +
                       whereFrom(maximum) + "): the needle swings to full scale " + when);
}

void findZeroAngle(const FrameRecord&, const ComponentUse& use,
                   std::vector<std::string>& messages) {
    if (motionOf(use) == Motion::lever) {
        const Parameter& angle = use.parameters[0];
        if (!angle.converts || angle.value != "0") return;
        messages.push_back(titleOf(use) + ": " + std::string(angle.rule->label) + " 0 (" +
                           whereFrom(angle) +
                           "): the lever never moves; write the angle in degrees after " +
                           quoted(angle.rule->pattern.marker));
    } else if (motionOf(use) == Motion::needle) {
        const Parameter& angle = use.parameters[1];
        if (!angle.converts || angle.value != "0") return;
        messages.push_back(titleOf(use) + ": max angle 0 (" + whereFrom(angle) +
                           "): the needle never moves");
    }
}

// A gear lever's stroke direction comes from the gear change, not from the sign.
void findNegativeStroke(const FrameRecord&, const ComponentUse& use,
                        std::vector<std::string>& messages) {
    if (use.component != Component::gearLever) return;
    const Parameter& stroke = use.parameters[0];
    if (!stroke.converts || stroke.value[0] != '-') return;
    messages.push_back(titleOf(use) + ": stroke " + stroke.value +
                       " is negative: the sign is dropped, each stroke's direction comes from "
                       "the gear change; write " +
                       quoted(std::string(stroke.rule->pattern.marker) + stroke.value.substr(1)));
}

void findKphOnSpeedometer(const FrameRecord& frame, const ComponentUse& use,
                          std::vector<std::string>& messages) {
    if (use.component != Component::speedometer || !frame.kilometres) return;
    messages.push_back(titleOf(use) +
                       ": \"_kph\" has no effect on the needle, which always follows the speed "
                       "in km/h; set the full scale with \"m\"");
}

void findMalformedMarkers(const FrameRecord&, const ComponentUse& use,
                          std::vector<std::string>& messages) {
    for (const SkippedMarker& skipped : use.skipped) {
        const Parameter& parameter = use.parameters[skipped.parameter];
        const ParameterRule& rule = *parameter.rule;
        const std::string marker(rule.pattern.marker);
        const std::string label(rule.label);
        std::string message = titleOf(use) + ": " + quoted(skipped.shown) + " at character " +
                              std::to_string(skipped.at + 1) + " is skipped: ";
        if (skipped.sign == '+') {
            // No pattern takes a '+', so the number after it is never read.
            message += "a plus sign after " + quoted(marker) + " is not read";
        } else if (skipped.sign == '-' && !rule.pattern.allowsMinus) {
            message += "the " + label + " takes no sign";
        } else {
            message += quoted(marker) + " is not followed by a number";
        }
        message += parameter.fromName
                       ? ", the " + label + " comes from " + written(parameter)
                       : ", so the " + label + " is the default " + std::string(rule.defaultText);
        if (skipped.sign == '+') message += "; write " + quoted(marker + skipped.digits);
        messages.push_back(std::move(message));
    }
}

}  // namespace sim::check
