// Frame-name parameters: the own matcher must give exactly what a regular-expression search with
// the pattern text gives, for names of any content and length.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "animation/name_parameters.h"
#include "small_stack.h"

namespace {

struct NamedPattern {
    const char* label;
    NamePattern pattern;
};

const NamedPattern allPatterns[] = {
    {"zAngle", patterns::zAngle},
    {"xAngle", patterns::xAngle},
    {"gearLeverStroke", patterns::gearLeverStroke},
    {"speedometerMaxSpeed", patterns::speedometerMaxSpeed},
    {"speedometerMaxAngle", patterns::speedometerMaxAngle},
    {"revCounterMaxValue", patterns::revCounterMaxValue},
    {"revCounterMaxAngle", patterns::revCounterMaxAngle},
};

const char* const noMatch = "<default>";

std::string printable(const std::string& name) {
    std::string out;
    for (unsigned char c : name) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c >= 0x80) {
            out += "\\x" + std::to_string(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

TEST(NameParameters, PatternTextsAreTheSevenExpressions) {
    const struct {
        NamePattern pattern;
        const char* text;
    } cases[] = {
        {patterns::zAngle, ".*_az(-?[0-9]+).*"},
        {patterns::xAngle, ".*_ax(-?[0-9]+).*"},
        {patterns::gearLeverStroke, ".*_o(-?[0-9]+).*"},
        {patterns::speedometerMaxSpeed, ".*m([0-9]+).*"},
        {patterns::speedometerMaxAngle, ".*r([0-9]+).*"},
        {patterns::revCounterMaxValue, ".*_m([0-9]+).*"},
        {patterns::revCounterMaxAngle, ".*_([0-9]+).*"},
    };
    for (const auto& c : cases) EXPECT_EQ(patternText(c.pattern), c.text);
}

TEST(NameParameters, CaptureComesFromTheLastWellFormedMarkerInTheFirstLineThatHasOne) {
    const struct {
        const char* name;
        NamePattern pattern;
        const char* expected;
    } cases[] = {
        {"vx_fbrake_az30", patterns::zAngle, "30"},
        {"vx_fbrake_az-45_x", patterns::zAngle, "-45"},
        {"vx_fbrake_az30_az12", patterns::zAngle, "12"},
        {"vx_fbrake_az-_az7", patterns::zAngle, "7"},
        {"vx_fbrake_az7_az-", patterns::zAngle, "7"},
        {"vx_fbrake_az--3", patterns::zAngle, noMatch},
        {"vx_fbrake_az007", patterns::zAngle, "007"},
        {"vx_fbrake", patterns::zAngle, noMatch},
        {"vx_rbrake_ax-12", patterns::xAngle, "-12"},
        {"vx_rbrake_az30", patterns::xAngle, noMatch},
        {"vx_gl_o25", patterns::gearLeverStroke, "25"},
        {"vx_gl_o-25_o", patterns::gearLeverStroke, "-25"},
        {"vx_rpm_m80_270", patterns::revCounterMaxAngle, "270"},
        {"vx_rpm_270_m80", patterns::revCounterMaxAngle, "270"},
        {"vx_rpm_m80", patterns::revCounterMaxAngle, noMatch},
        {"vx_rpm80", patterns::revCounterMaxAngle, noMatch},
        {"vx_rpm_-5", patterns::revCounterMaxAngle, noMatch},
        {"vx_rpm_m80_270_2", patterns::revCounterMaxAngle, "2"},
        {"vx_rpm_m80_270", patterns::revCounterMaxValue, "80"},
        {"vx_rpm_270_m80", patterns::revCounterMaxValue, "80"},
        {"vx_rpm80", patterns::revCounterMaxValue, noMatch},
        {"vx_rpm_m-80", patterns::revCounterMaxValue, noMatch},
        {"vx_sm_m220_r270", patterns::speedometerMaxSpeed, "220"},
        {"vx_sm_m22_m5_r90", patterns::speedometerMaxSpeed, "5"},
        {"vx_sm220_r270", patterns::speedometerMaxSpeed, "220"},
        {"vx_sm_arm3_r90", patterns::speedometerMaxSpeed, "3"},
        {"vx_sm_m5_m-7", patterns::speedometerMaxSpeed, "5"},
        {"vx_sm_r180", patterns::speedometerMaxSpeed, noMatch},
        {"vx_sm_m220_r270", patterns::speedometerMaxAngle, "270"},
        {"vx_sm_r180", patterns::speedometerMaxAngle, "180"},
        {"vx_sm", patterns::speedometerMaxAngle, noMatch},
        // '.' does not cross a line terminator: the first line holding a match decides.
        {"vx_fbrake_az5\n_az7", patterns::zAngle, "5"},
        {"vx_fbrake\n_az7\r_az8", patterns::zAngle, "7"},
        {"vx_fbrake_az\n7", patterns::zAngle, noMatch},
        {"vx_fbrake_az\r7", patterns::zAngle, noMatch},
        {"", patterns::revCounterMaxAngle, noMatch},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(nameParameter(c.name, c.pattern, noMatch), c.expected)
            << printable(c.name) << " with " << patternText(c.pattern);
    }
}

TEST(NameParameters, KeyIsFoundAnywhereAsExactBytes) {
    const struct {
        const char* name;
        const char* key;
        bool found;
    } cases[] = {
        {"vx_cl", "vx_cl", true},    {"vx_fbrake_vx_cl_az3", "vx_cl", true},
        {"vx_c", "vx_cl", false},    {"VX_CL", "vx_cl", false},
        {"vx_sm_kph", "_kph", true}, {"vx_om_KPH", "_kph", false},
        {"vx_rpm", "vx_rpm", true},  {"vx_rp", "vx_rpm", false},
        {"", "vx_gm", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameHasKey(c.name, c.key), c.found) << c.name << " / " << c.key;
}

// What a regular-expression search with the pattern's text gives for the name.
std::string regexParameter(const std::string& name, const std::regex& expression) {
    std::smatch match;
    if (!std::regex_search(name, match, expression)) return noMatch;
    return match[1].matched ? match[1].str() : std::string();
}

void expectSameAsRegex(const std::vector<std::string>& names) {
    for (const NamedPattern& p : allPatterns) {
        const std::regex expression(patternText(p.pattern));
        int mismatches = 0;
        for (const std::string& name : names) {
            const std::string expected = regexParameter(name, expression);
            const std::string actual = nameParameter(name, p.pattern, noMatch);
            if (actual != expected && ++mismatches <= 5) {
                ADD_FAILURE() << p.label << " on \"" << printable(name)
                              << "\": " << printable(actual) << " instead of "
                              << printable(expected);
            }
        }
        EXPECT_EQ(mismatches, 0) << p.label;
    }
}

TEST(NameParameters, MatchesRegexSearchForEveryShortName) {
    // Every name of up to four bytes over the marker letters, digits, '-', line terminators and a
    // byte above 0x7F.
    const std::string alphabet = std::string("_azxomr-09\n\r") + '\x80';
    std::vector<std::string> names{""};
    for (std::size_t from = 0, length = 1; length <= 4; ++length) {
        const std::size_t to = names.size();
        for (std::size_t i = from; i < to; ++i) {
            for (char c : alphabet) names.push_back(names[i] + c);
        }
        from = to;
    }
    ASSERT_EQ(names.size(), 1u + 13u + 169u + 2197u + 28561u);
    expectSameAsRegex(names);
}

TEST(NameParameters, MatchesRegexSearchForRandomNamesOfMarkersAndNumbers) {
    // Names built from whole markers and number pieces, so that most of them hold several
    // candidate occurrences; the generator and its use are fixed, so every run sees the same names.
    const char* const pieces[] = {"vx_", "_az", "_ax", "_o", "_m", "m",  "r",  "_",    "-", "--",
                                  "0",   "7",   "42",  "a",  "x",  "\n", "\r", "\x80", "z", "o"};
    const std::uint32_t pieceCount = sizeof(pieces) / sizeof(pieces[0]);
    std::mt19937 random(20261208);
    std::vector<std::string> names;
    for (int i = 0; i < 20000; ++i) {
        std::string name;
        const std::uint32_t count = random() % 12;
        for (std::uint32_t k = 0; k < count; ++k) name += pieces[random() % pieceCount];
        names.push_back(name);
    }
    expectSameAsRegex(names);
}

TEST(NameParameters, NamesOfAMillionBytesNeedNoStack) {
    const std::string prefix = "vx_fbrake";
    const std::size_t length = 1000000;
    std::string digits;
    for (std::size_t i = 0; i < length; ++i) digits += static_cast<char>('0' + i % 10);
    std::string alternating;
    for (std::size_t i = 0; i < length / 2; ++i) alternating += "_1";
    const std::string underscores(length, '_');

    struct Case {
        std::string name;
        std::string expected;
    };
    for (const NamedPattern& p : allPatterns) {
        const std::string marker(p.pattern.marker);
        const bool onlyUnderscore = marker == "_";
        std::vector<Case> cases = {
            {prefix + marker + "7" + underscores, "7"},
            {prefix + underscores + marker + "42", "42"},
            {prefix + marker + digits, digits},
            {prefix + alternating, onlyUnderscore ? "1" : noMatch},
            {prefix + underscores, noMatch},
            {prefix + marker + digits + "\n" + marker + "5", digits},
        };
        if (p.pattern.allowsMinus)
            cases.push_back({prefix + underscores + marker + "-" + digits, "-" + digits});

        std::vector<std::string> results(cases.size());
        testing_support::runOnStack(testing_support::hostThreadStack, [&] {
            for (std::size_t i = 0; i < cases.size(); ++i) {
                results[i] = nameParameter(cases[i].name, p.pattern, noMatch);
            }
        });
        for (std::size_t i = 0; i < cases.size(); ++i) {
            EXPECT_TRUE(results[i] == cases[i].expected)
                << p.label << " case " << i << ": " << results[i].size() << " bytes, expected "
                << cases[i].expected.size();
        }
    }
}

// What the standard conversions give for text: the value, or the failure they throw.
template <typename Number, typename Convert>
ParameterValue<Number> standardConversion(const std::string& text, Convert convert) {
    try {
        return {convert(text)};
    } catch (const std::invalid_argument&) {
        return {Number{}, ConversionFailure::invalidArgument};
    } catch (const std::out_of_range&) {
        return {Number{}, ConversionFailure::outOfRange};
    }
}

// The conversions give what std::stoi and std::stof give for every whole number, however long,
// and fail with their kinds and messages. A text is converted as a default, which goes through the
// same conversion as a capture.
TEST(NameParameters, ConversionsAgreeWithTheStandardOnes) {
    const std::string texts[] = {
        "0",
        "-0",
        "007",
        " +12abc",
        "\t\n-7x",
        "2147483647",
        "2147483648",
        "-2147483648",
        "-2147483649",
        "99999999999999999999",
        "abc",
        "",
        "+",
        "- 1",
        "16777217",  // a tie between two floats: to the even one below
        "16777219",  // a tie: to the even one above
        "16777218",
        "340282346638528859811704183484516925440",  // the largest float
        "340282356779733661637539395458142568447",  // just below half a step above it
        "340282356779733661637539395458142568448",  // exactly half a step above: out of range
        "1" + std::string(39, '0'),
        std::string(1000000, '0') + "5",
        std::string(1000000, '9'),
        "12.9",
        "1e-50",  // a fraction or an exponent ends a whole number
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 60));
        const auto integer = intParameter("vx_sm", patterns::speedometerMaxSpeed, text);
        const auto standardInteger =
            standardConversion<std::int32_t>(text.substr(0, text.find_first_of(".e")),
                                             [](const std::string& t) { return std::stoi(t); });
        EXPECT_EQ(integer.failure, standardInteger.failure);
        EXPECT_EQ(integer.value, standardInteger.value);
        if (!integer) {
            EXPECT_EQ(failureMessage(integer), integer.failure == ConversionFailure::outOfRange
                                                   ? "stoi argument out of range"
                                                   : "invalid stoi argument");
        }

        const auto real = floatParameter("vx_sm", patterns::speedometerMaxAngle, text);
        const auto standardReal =
            standardConversion<float>(text.substr(0, text.find_first_of(".e")),
                                      [](const std::string& t) { return std::stof(t); });
        EXPECT_EQ(real.failure, standardReal.failure);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(real.value),
                  std::bit_cast<std::uint32_t>(standardReal.value));
        if (!real) {
            EXPECT_EQ(failureMessage(real), real.failure == ConversionFailure::outOfRange
                                                ? "stof argument out of range"
                                                : "invalid stof argument");
        }
    }
}

TEST(NameParameters, ConversionsReadTheCaptureOrTheDefault) {
    const struct {
        const char* name;
        NamePattern pattern;
        const char* defaultText;
        std::int32_t expected;
    } cases[] = {
        {"vx_fbrake_az-45", patterns::zAngle, "0", -45},
        {"vx_fbrake_az-2147483648", patterns::zAngle, "0",
         std::numeric_limits<std::int32_t>::min()},
        {"vx_fbrake", patterns::zAngle, "0", 0},
        {"vx_sm", patterns::speedometerMaxSpeed, "100", 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(intParameter(c.name, c.pattern, c.defaultText).value, c.expected) << c.name;
    EXPECT_EQ(floatParameter("vx_rpm_16777217", patterns::revCounterMaxAngle, "100").value,
              16777216.0f);
    EXPECT_EQ(floatParameter("vx_rpm", patterns::revCounterMaxAngle, "100").value, 100.0f);
    EXPECT_FALSE(intParameter("vx_fbrake_az2147483648", patterns::zAngle, "0"));
}

TEST(NameParameters, MillionDigitParametersFailAsOutOfRangeOnTheHostsStack) {
    const std::string digits(1000000, '9');
    ParameterValue<std::int32_t> integer;
    ParameterValue<float> real;
    testing_support::runOnStack(testing_support::hostThreadStack, [&] {
        integer = intParameter("vx_sm_m" + digits, patterns::speedometerMaxSpeed, "100");
        real = floatParameter("vx_sm_r" + digits, patterns::speedometerMaxAngle, "100");
    });
    EXPECT_EQ(integer.failure, ConversionFailure::outOfRange);
    EXPECT_EQ(real.failure, ConversionFailure::outOfRange);
}

}  // namespace
