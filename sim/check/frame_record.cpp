#include "sim/check/frame_record.h"

#include <algorithm>
#include <charconv>
#include <utility>

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
    const std::string_view captured = parameterText(name, rule.pattern, "");
    parameter.fromName = !captured.empty();
    parameter.text = std::string(parameter.fromName ? captured : rule.defaultText);
    if (rule.conversion == Conversion::floatingPoint) {
        const ParameterValue<float> converted = floatParameter(name, rule);
        parameter.converts = static_cast<bool>(converted);
        if (converted) parameter.value = showFloat(converted.value);
    } else {
        const ParameterValue<std::int32_t> converted = intParameter(name, rule);
        parameter.converts = static_cast<bool>(converted);
        if (converted) parameter.value = std::to_string(converted.value);
    }
    return parameter;
}

using ByteRanges = std::vector<std::pair<std::size_t, std::size_t>>;

// Byte ranges of every key in the name: a marker letter inside a key is part of the key.
ByteRanges keyRanges(std::string_view name) {
    ByteRanges ranges;
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

bool insideKey(const ByteRanges& ranges, std::size_t at, std::size_t size) {
    for (const auto& [begin, end] : ranges) {
        if (at >= begin && at + size <= end) return true;
    }
    return false;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Occurrences of the marker that the library skips. Single-letter markers ("m", "r", "_") stand in
// ordinary words and between words, so for them only an attempted signed number counts.
void findSkippedMarkers(std::string_view name, const ByteRanges& ranges, const Parameter& parameter,
                        std::size_t index, std::vector<SkippedMarker>& skipped) {
    const NamePattern& pattern = parameter.rule->pattern;
    const std::string_view marker = pattern.marker;
    for (std::size_t at = name.find(marker); at != std::string_view::npos;
         at = name.find(marker, at + 1)) {
        if (insideKey(ranges, at, marker.size())) continue;
        // Cut before the next occurrence: the piece holds this occurrence only, and the library
        // finds a number in it exactly when this occurrence is followed by one.
        const std::size_t next = name.find(marker, at + 1);
        const std::string_view piece =
            name.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at);
        if (!parameterText(piece, pattern, "").empty()) continue;
        const std::size_t after = at + marker.size();
        const bool signedNumber = after + 1 < name.size() &&
                                  (name[after] == '-' || name[after] == '+') &&
                                  isDigit(name[after + 1]);
        if (marker.size() == 1 && !signedNumber) continue;

        SkippedMarker found{index, at, {}, signedNumber ? name[after] : '\0', {}};
        std::size_t end = std::min(piece.size(), marker.size() + 6);
        const std::size_t nextWord = piece.find('_', marker.size());
        if (nextWord != std::string_view::npos && nextWord < end) end = nextWord;
        found.shown = std::string(piece.substr(0, end));
        if (found.sign == '+') {
            std::size_t digits = after + 1;
            while (digits < name.size() && isDigit(name[digits])) ++digits;
            found.digits = std::string(name.substr(after + 1, digits - after - 1));
        }
        skipped.push_back(std::move(found));
    }
}

// What the component finds among the frame's children, for its line in the report.
std::string childrenDetail(const ComponentEntry& entry, const FrameRecord& frame) {
    const std::size_t childCount = frame.children.size();
    const std::string count = std::to_string(childCount);
    switch (entry.children) {
        case ChildFrames::chainLinkSets:
            return count + (childCount == 1 ? " link set" : " link sets");
        case ChildFrames::gearDisplays: {
            std::string detail = count + (childCount == 1 ? " display" : " displays");
            if (childCount > 0) detail += " (gears 0 to " + std::to_string(childCount - 1) + ")";
            if (frame.highestGear)
                detail += ", its vehicles use gears up to " + std::to_string(*frame.highestGear);
            return detail;
        }
        case ChildFrames::odometerWheels: {
            std::string detail =
                std::to_string(std::min(childCount, odometerWheelCount)) + " digit wheels";
            if (childCount > odometerWheelCount) {
                detail +=
                    " (children after the " + ordinalWord(odometerWheelCount) + " never turn)";
            }
            detail += frame.kilometres ? ", counts kilometres (\"_kph\")"
                                       : ", counts miles (no \"_kph\")";
            return detail;
        }
        case ChildFrames::none:
            break;
    }
    return {};
}

std::optional<MiscasedMarker> miscasedKilometres(std::string_view name) {
    const std::size_t size = kilometresMarker.size();
    for (std::size_t at = 0; at + size <= name.size(); ++at) {
        const std::string_view found = name.substr(at, size);
        if (lowered(found) == lowered(kilometresMarker))
            return MiscasedMarker{at, std::string(found)};
    }
    return std::nullopt;
}

bool markerUsedBefore(const std::vector<ComponentUse>& earlier, std::string_view marker) {
    for (const ComponentUse& use : earlier) {
        for (const Parameter& parameter : use.parameters)
            if (parameter.rule->pattern.marker == marker) return true;
    }
    return false;
}

}  // namespace

std::string_view componentKey(Component component) { return catalogueEntry(component).key; }
std::string_view componentTitle(Component component) { return catalogueEntry(component).title; }

FrameRecord readFrame(std::string_view name, std::vector<ChildFrame> children,
                      std::optional<int> highestGear) {
    FrameRecord frame;
    frame.name = std::string(name);
    frame.children = std::move(children);
    frame.highestGear = highestGear;
    frame.prefixed = name.starts_with(componentPrefix);
    frame.prefixMiscased =
        !frame.prefixed && lowered(name.substr(0, componentPrefix.size())) == componentPrefix;
    frame.keys = componentKeysInText(name);
    if (!frame.prefixed) return frame;

    frame.kilometres = nameHasKey(name, kilometresMarker);
    if (!frame.kilometres) frame.kilometresMiscased = miscasedKilometres(name);
    if (frame.keys == 0) frame.foldedKeys = componentKeysInText(lowered(name));
    const ByteRanges ranges = keyRanges(name);
    for (const ComponentEntry& entry : componentCatalogue) {
        if (!holdsComponent(frame.keys, entry.component)) continue;
        ComponentUse use{entry.component, {}, childrenDetail(entry, frame), true, {}};
        for (const ParameterRule& rule : entry.parameters) {
            use.parameters.push_back(readParameter(name, rule));
            use.configures = use.configures && use.parameters.back().converts;
        }
        // A pattern two components of this frame share ("_az") is looked at once.
        for (std::size_t p = 0; p < use.parameters.size(); ++p) {
            const Parameter& parameter = use.parameters[p];
            if (!markerUsedBefore(frame.components, parameter.rule->pattern.marker))
                findSkippedMarkers(name, ranges, parameter, p, use.skipped);
        }
        frame.components.push_back(std::move(use));
    }
    return frame;
}

std::string written(const Parameter& parameter) {
    return quoted(std::string(parameter.rule->pattern.marker) + parameter.text);
}

std::string whereFrom(const Parameter& parameter) {
    return parameter.fromName ? "from " + written(parameter) : "default";
}

std::string shownValue(const Parameter& parameter) {
    if (parameter.converts) return parameter.value;
    return "out of range (" + written(parameter) + ")";
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
