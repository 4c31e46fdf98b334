#include <bit>

#include "sim/check/warning_finders.h"
#include "sim/formats/message_words.h"

namespace sim::check {

void findPrefixCase(const FrameRecord& frame, std::vector<FrameFinding>& findings) {
    if (!frame.prefixMiscased) return;
    findings.push_back({std::nullopt, "begins with " +
                                          quoted(frame.name.substr(0, componentPrefix.size())) +
                                          ": the prefix " + quoted(componentPrefix) +
                                          " is case-sensitive, so no component takes this frame"});
}

void findKeyWithoutPrefix(const FrameRecord& frame, std::vector<FrameFinding>& findings) {
    if (frame.prefixed || frame.prefixMiscased) return;
    std::string keys;
    for (const ComponentEntry& entry : componentCatalogue) {
        if (holdsComponent(frame.keys, entry.component))
            keys += (keys.empty() ? "" : ", ") + quoted(entry.key);
    }
    if (keys.empty()) return;
    findings.push_back({std::nullopt, "contains " + keys + " but does not begin with " +
                                          quoted(componentPrefix) +
                                          ": the key is ignored and the frame is not animated"});
}

// "_kph" in another case on an odometer or a speedometer frame, once per frame.
void findKphCase(const FrameRecord& frame, std::vector<FrameFinding>& findings) {
    if (!frame.kilometresMiscased) return;
    bool odometer = false, speedometer = false;
    for (const ComponentUse& use : frame.components) {
        odometer = odometer || use.component == Component::odometer;
        speedometer = speedometer || use.component == Component::speedometer;
    }
    const std::string message = quoted(frame.kilometresMiscased->text) + " at character " +
                                std::to_string(frame.kilometresMiscased->at + 1) +
                                " is not \"_kph\": markers are case-sensitive, ";
    if (odometer) {
        findings.push_back(
            {Component::odometer,
             "odometer: " + message + "so the odometer counts miles; did you mean \"_kph\"?"});
    } else if (speedometer) {
        findings.push_back(
            {Component::speedometer, "speedometer: " + message +
                                         "so it is not read; did you mean \"_kph\"? (It would not "
                                         "change the needle either, which always follows the speed "
                                         "in km/h.)"});
    }
}

void findNoKey(const FrameRecord& frame, std::vector<FrameFinding>& findings) {
    if (!frame.prefixed || !frame.components.empty()) return;
    std::string message = "begins with " + quoted(componentPrefix) +
                          " but carries no component key, so nothing drives it";
    if (frame.foldedKeys != 0) {
        message += " (keys are case-sensitive: did you mean " +
                   quoted(componentCatalogue[std::countr_zero(frame.foldedKeys)].key) + "?)";
    }
    findings.push_back({std::nullopt, message});
}

}  // namespace sim::check
