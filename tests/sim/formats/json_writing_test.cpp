// JSON as vorlix-sim writes it: floats in their shortest exact form.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "sim/formats/json_writing.h"

namespace sim {
namespace {

TEST(JsonWriting, FloatsInTheShortestTextThatReadsBackAsTheSameFloat) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {1.0f, "1"},
        {-1.0f, "-1"},
        {0.1f, "0.1"},
        {-0.0f, "-0"},
        {0.5f, "0.5"},
        {1.4e-45f, "1e-45"},
        {16777216.0f, "16777216"},
        {3.4028235e38f, "3.4028235e+38"},
        {-324.0f, "-324"},
        {0.33333334f, "0.33333334"},
        {INFINITY, "\"inf\""},
        {-INFINITY, "\"-inf\""},
        {NAN, "\"nan\""},
    };
    for (const auto& c : cases) {
        std::string text;
        appendFloat(text, c.value);
        EXPECT_EQ(text, c.text);
    }
    // Round trip over a spread of bit patterns.
    for (std::uint32_t bits = 1; bits < 0x7F800000u; bits += 0x00012345u) {
        float value;
        std::memcpy(&value, &bits, 4);
        std::string text;
        appendFloat(text, value);
        float back = 0.0f;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, value) << text;
    }
}

}  // namespace
}  // namespace sim
