#pragma once
// Frame names carry the configuration of every component: a key anywhere in the name, and numeric
// parameters written directly after short markers.

#include <cstdint>
#include <string>
#include <string_view>

// A parameter pattern of the form ".*<marker>(-?[0-9]+).*", or without "-?" when the parameter
// cannot be negative. The capture comes from the last occurrence of the marker that is followed by
// a well-formed number.
struct NamePattern {
    std::string_view marker;
    bool allowsMinus;
};

// The regular expression the pattern stands for, in the ECMAScript grammar.
std::string patternText(const NamePattern& pattern);

namespace patterns {
inline constexpr NamePattern zAngle{"_az", true};          // front brake, clutch lever
inline constexpr NamePattern xAngle{"_ax", true};          // rear brake
inline constexpr NamePattern gearLeverStroke{"_o", true};  // gear lever
inline constexpr NamePattern speedometerMaxSpeed{"m", false};
inline constexpr NamePattern speedometerMaxAngle{"r", false};
inline constexpr NamePattern revCounterMaxValue{"_m", false};
inline constexpr NamePattern revCounterMaxAngle{"_", false};
}  // namespace patterns

// True when key occurs anywhere in name. Components look for their markers ("_kph") with it when
// they first meet a frame, on names and markers of a few bytes, where a plain comparison loop beats
// a call into the C library.
inline bool nameHasKey(std::string_view name, std::string_view key) {
    if (key.size() > name.size()) return false;
    const std::size_t lastStart = name.size() - key.size();
    for (std::size_t at = 0; at <= lastStart; ++at) {
        std::size_t matched = 0;
        while (matched < key.size() && name[at + matched] == key[matched]) ++matched;
        if (matched == key.size()) return true;
    }
    return false;
}

// The text the pattern captures in name, exactly as a regular-expression search would give it, or
// defaultText when the name holds no match.
std::string nameParameter(std::string_view name, const NamePattern& pattern,
                          std::string_view defaultText);

// nameParameter converted to a signed 32-bit integer (base 10) or a 32-bit float. They fail with
// std::invalid_argument ("invalid stoi argument", "invalid stof argument") or std::out_of_range
// ("stoi argument out of range", "stof argument out of range").
std::int32_t intParameter(std::string_view name, const NamePattern& pattern,
                          std::string_view defaultText);
float floatParameter(std::string_view name, const NamePattern& pattern,
                     std::string_view defaultText);
