#pragma once
// Small pieces of the messages that several parts of vorlix-sim write, so that each is worded once.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sim {

// "text", in double quotes as it stands (JSON documents use jsonQuoted).
std::string quoted(std::string_view text);

// ASCII letters in lower case; other bytes as they are.
std::string lowered(std::string_view text);

// Names as a sentence lists them: "a", "a or b", "a, b or c".
std::string listed(std::span<const std::string> names);

// A small count as a word, "six", and its ordinal, "sixth"; past twelve in digits, "13", "13th".
std::string countWord(std::size_t count);
std::string ordinalWord(std::size_t position);

// An address as the host's tools write it: 0x6C4523.
std::string hexAddress(std::uint32_t address);

// What an odometer with wheels of its allWheels digit wheels leaves out: "the rightmost digit is
// not shown", "the 2 rightmost digits are not shown"; "" when none is missing.
std::string missingDigitsText(std::size_t wheels, std::size_t allWheels);

}  // namespace sim
