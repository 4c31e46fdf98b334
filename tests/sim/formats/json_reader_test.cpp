// JSON as vorlix-sim reads it: the reader refuses what is not JSON at the place where it stops
// fitting, decodes strings exactly, and keeps every number's text.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "sim/formats/json_reader.h"

namespace sim {
namespace {

using ::testing::HasSubstr;

std::string errorOf(std::string_view text) {
    try {
        parseJson(text);
    } catch (const JsonError& error) {
        return std::to_string(error.pos.line) + ":" + std::to_string(error.pos.column) + ": " +
               error.what();
    }
    return "(accepted)";
}

TEST(JsonReader, RefusesWhatIsNotJsonWhereItStopsFitting) {
    const struct {
        const char* kind;
        std::string text;
        std::string expected;
    } cases[] = {
        {"leading zero", "[01]",
         "1:3: malformed JSON: syntax error while parsing array - unexpected number literal"},
        {"bare minus", "[-]", "1:3: malformed JSON: invalid number; expected a digit after '-'"},
        {"no digit after the point", "1.",
         "1:2: malformed JSON: invalid number; expected a digit after '.'"},
        {"no exponent digit", "1e+",
         "1:3: malformed JSON: invalid number; expected a digit in the exponent"},
        {"plus sign", "+1", "1:1: malformed JSON: unexpected character '+'"},
        {"misspelt literal", "[tru]", "1:5: malformed JSON: invalid literal; expected true"},
        {"unclosed string", "\"abc", "1:4: malformed JSON: invalid string: missing closing quote"},
        {"raw line break in a string", "\"a\nb\"",
         "1:3: malformed JSON: invalid string: control character 0x0A"},
        {"unknown escape", R"("a\x")",
         "1:4: malformed JSON: invalid string: forbidden character after backslash"},
        {"short unicode escape", R"("\u12")",
         "1:6: malformed JSON: invalid string: '\\u' must be followed by 4 hex"},
        {"lone high surrogate", R"("\ud800x")",
         "1:8: malformed JSON: invalid string: surrogate U+D800..U+DBFF"},
        {"lone low surrogate", R"("\udc00")",
         "1:7: malformed JSON: invalid string: surrogate U+DC00..U+DFFF"},
        {"overlong UTF-8", "\"\xC0\xAF\"",
         "1:2: malformed JSON: invalid string: ill-formed UTF-8 byte 0xC0"},
        {"UTF-8 surrogate", "\"\xED\xA0\x80\"",
         "1:3: malformed JSON: invalid string: ill-formed UTF-8 byte 0xA0"},
        {"truncated UTF-8", "\"\xE2\x82",
         "1:3: malformed JSON: invalid string: missing closing quote"},
        {"missing colon", "{\"a\" 1}",
         "1:6: malformed JSON: syntax error while parsing object separator"},
        {"trailing comma", "[1,]",
         "1:4: malformed JSON: syntax error while parsing value - unexpected ']'"},
        {"second value", "{} {}",
         "1:4: malformed JSON: syntax error while parsing value - unexpected '{'; expected end"},
        {"end inside an object", "{\"a\":1,\n",
         "1:8: malformed JSON: syntax error while parsing object key - unexpected end of input"},
        {"depth", std::string(257, '[') + std::string(257, ']'),
         "1:257: nested deeper than 256 levels"},
    };
    for (const auto& c : cases) EXPECT_THAT(errorOf(c.text), HasSubstr(c.expected)) << c.kind;
    EXPECT_EQ(errorOf(std::string(256, '[') + std::string(256, ']')), "(accepted)");
    EXPECT_THAT(errorOf(std::string(maxJsonBytes + 1, ' ')),
                HasSubstr("1:1: the text is larger than 64 MiB"));
}

TEST(JsonReader, DecodesStringsAndKeepsNumbersAndPlaces) {
    const JsonNode root = parseJson(
        "\xEF\xBB\xBF{\"s\": \"q\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\ud83d\\ude00\xE2\x82\xAC\",\n"
        " \"n\": [-0.10e+02, 12345678901234567890]}");
    ASSERT_EQ(root.kind, JsonNode::Kind::object);
    EXPECT_EQ(root.find("s")->text, "q\"\\/\b\f\n\r\t\xC3\xA9\xF0\x9F\x98\x80\xE2\x82\xAC");
    const JsonNode& numbers = *root.find("n");
    EXPECT_EQ(numbers.items[0].text, "-0.10e+02");
    EXPECT_EQ(numbers.items[1].text, "12345678901234567890");
    EXPECT_EQ(numbers.pos.line, 2);
    EXPECT_EQ(numbers.pos.column, 7);
    EXPECT_EQ(numbers.items[1].pos.column, 19);
}

}  // namespace
}  // namespace sim
