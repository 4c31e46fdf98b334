// Frame names come from downloaded models. The library's own matcher must give what a
// regular-expression search with each parameter pattern gives, its conversions what the standard
// ones give, and the key test what a substring search gives, for any bytes. Input: the name; after
// a zero byte (which no host name contains), an extra key to look for.
#include "animation/name_parameters.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/formats/printable_bytes.h"

namespace {

// The regular expressions recurse about once per character; names this short keep them well away
// from the stack's end.
constexpr std::size_t longestName = 64;
constexpr std::size_t longestKey = 16;

struct Expectation {
    const char* expression;
    NamePattern pattern;
    const char* defaultText;
    bool isFloat;
};

const Expectation expectations[] = {
    {".*_az(-?[0-9]+).*", patterns::zAngle, "0", false},
    {".*_ax(-?[0-9]+).*", patterns::xAngle, "0", false},
    {".*_o(-?[0-9]+).*", patterns::gearLeverStroke, "0", false},
    {".*m([0-9]+).*", patterns::speedometerMaxSpeed, "100", false},
    {".*r([0-9]+).*", patterns::speedometerMaxAngle, "100", true},
    {".*_m([0-9]+).*", patterns::revCounterMaxValue, "100", false},
    {".*_([0-9]+).*", patterns::revCounterMaxAngle, "100", true},
};

const char* const keys[] = {"vx_chain", "vx_fbrake", "vx_rbrake", "vx_cl",  "vx_gl",
                            "vx_gm",    "vx_om",     "vx_sm",     "vx_rpm", "_kph"};

[[noreturn]] void fail(const char* what, std::string_view name, std::string_view detail) {
    std::fprintf(stderr, "%s\n  name (%zu bytes): ", what, name.size());
    for (unsigned char c : name)
        std::fprintf(stderr, sim::isPrintableAscii(c) && c != '\\' ? "%c" : "\\x%02x", c);
    std::fprintf(stderr, "\n  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

const std::regex& compiled(std::size_t index) {
    static const auto all = [] {
        std::vector<std::regex> expressions;
        for (const Expectation& e : expectations) expressions.emplace_back(e.expression);
        return expressions;
    }();
    return all[index];
}

// The library converts without the standard functions, so they are the reference here: the same
// value to the bit, or the same kind of failure. A capture is an optional '-' and digits, so that
// failure can only be a number out of range.
template <typename Number, typename Standard>
void expectStandardConversion(const ParameterValue<Number>& converted, Standard standard,
                              std::string_view name) {
    bool outOfRange = false;
    Number expected{};
    try {
        expected = standard();
    } catch (const std::out_of_range&) {
        outOfRange = true;
    }
    if (outOfRange != (converted.failure == ConversionFailure::outOfRange) ||
        (!outOfRange && (converted.failure != ConversionFailure::none ||
                         std::memcmp(&expected, &converted.value, sizeof expected) != 0))) {
        fail("conversion differs from the standard one", name, failureMessage(converted));
    }
}

void checkKey(std::string_view name, std::string_view key) {
    if (nameHasKey(name, key) != (name.find(key) != std::string_view::npos))
        fail("key test differs from find", name, key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string name(input.substr(0, split));
    if (name.size() > longestName) return -1;  // not added to the corpus

    for (std::size_t i = 0; i < std::size(expectations); ++i) {
        const Expectation& e = expectations[i];
        if (patternText(e.pattern) != e.expression)
            fail("pattern text differs", e.expression, patternText(e.pattern));
        std::smatch match;
        const std::string expected =
            std::regex_search(name, match, compiled(i)) ? match[1].str() : e.defaultText;
        const std::string actual = nameParameter(name, e.pattern, e.defaultText);
        if (actual != expected)
            fail(e.expression, name, "gave \"" + actual + "\" instead of \"" + expected + "\"");
        if (e.isFloat) {
            expectStandardConversion(
                floatParameter(name, e.pattern, e.defaultText), [&] { return std::stof(expected); },
                name);
        } else {
            expectStandardConversion(
                intParameter(name, e.pattern, e.defaultText), [&] { return std::stoi(expected); },
                name);
        }
    }

    for (const char* key : keys) checkKey(name, key);
    if (split != std::string_view::npos) checkKey(name, input.substr(split + 1, longestKey));
    return 0;
}
