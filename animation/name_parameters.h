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
inline std::string patternText(const NamePattern& pattern) {
    return ".*" + std::string(pattern.marker) +
           (pattern.allowsMinus ? "(-?[0-9]+).*" : "([0-9]+).*");
}

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
// defaultText when the name holds no match. A view into name or defaultText: nothing is copied.
std::string_view parameterText(std::string_view name, const NamePattern& pattern,
                               std::string_view defaultText);

// parameterText as a text of its own.
inline std::string nameParameter(std::string_view name, const NamePattern& pattern,
                                 std::string_view defaultText) {
    return std::string(parameterText(name, pattern, defaultText));
}

enum class ConversionFailure : std::uint8_t {
    none,
    invalidArgument,  // no digit to read
    outOfRange,       // beyond the 32-bit type
};

// A converted parameter, or why there is none. Conversions report failure this way rather than by
// throwing: a component that meets one stops where it stands, and the library carries no
// exception machinery.
template <class Number>
struct ParameterValue {
    Number value{};
    ConversionFailure failure = ConversionFailure::none;
    explicit operator bool() const { return failure == ConversionFailure::none; }
};

// "invalid stoi argument", "stoi argument out of range", "invalid stof argument" or "stof argument
// out of range"; empty when the conversion succeeded.
std::string_view failureMessage(const ParameterValue<std::int32_t>& value);
std::string_view failureMessage(const ParameterValue<float>& value);

// parameterText converted to a signed 32-bit integer or a 32-bit float. Both read the number as
// the standard conversions do: white space skipped, an optional sign, then decimal digits up to the
// first other byte. A float is rounded to nearest, ties to even. The captures are whole numbers and
// the defaults too, so a '.' or an exponent ends the number like any other byte.
ParameterValue<std::int32_t> intParameter(std::string_view name, const NamePattern& pattern,
                                          std::string_view defaultText);
ParameterValue<float> floatParameter(std::string_view name, const NamePattern& pattern,
                                     std::string_view defaultText);
