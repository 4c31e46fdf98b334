#include "sim/formats/message_words.h"

#include <cstdio>
#include <iterator>

namespace sim {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string listed(std::span<const std::string> names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

namespace {

constexpr const char* counts[] = {"zero",  "one",   "two",  "three", "four",   "five",  "six",
                                  "seven", "eight", "nine", "ten",   "eleven", "twelve"};
constexpr const char* ordinals[] = {"zeroth", "first",    "second",  "third",  "fourth",
                                    "fifth",  "sixth",    "seventh", "eighth", "ninth",
                                    "tenth",  "eleventh", "twelfth"};

}  // namespace

std::string countWord(std::size_t count) {
    return count < std::size(counts) ? counts[count] : std::to_string(count);
}

std::string ordinalWord(std::size_t position) {
    return position < std::size(ordinals) ? ordinals[position] : std::to_string(position) + "th";
}

std::string hexAddress(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(address));
    return text;
}

std::string missingDigitsText(std::size_t wheels, std::size_t allWheels) {
    if (wheels >= allWheels) return "";
    const std::size_t missing = allWheels - wheels;
    return missing == 1 ? "the rightmost digit is not shown"
                        : "the " + std::to_string(missing) + " rightmost digits are not shown";
}

}  // namespace sim
