#include "animation/name_parameters.h"

#include <array>
#include <bit>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// '.' of the patterns matches anything but these, so no match spans them.
bool isLineTerminator(char c) { return c == '\n' || c == '\r'; }

// Length of the number the pattern accepts at position at of line, 0 if there is none.
std::size_t numberLengthAt(std::string_view line, std::size_t at, bool allowsMinus) {
    std::size_t end = at;
    if (allowsMinus && end + 1 < line.size() && line[end] == '-' && isDigit(line[end + 1])) ++end;
    const std::size_t digitsStart = end;
    while (end < line.size() && isDigit(line[end])) ++end;
    return end > digitsStart ? end - at : 0;
}

// The capture of the last well-formed occurrence in one line, as the greedy leading ".*" finds it.
bool lastCaptureInLine(std::string_view line, const NamePattern& pattern,
                       std::string_view& capture) {
    std::size_t from = line.size();
    while (from >= pattern.marker.size()) {
        const std::size_t at = line.rfind(pattern.marker, from - pattern.marker.size());
        if (at == std::string_view::npos) return false;
        const std::size_t numberAt = at + pattern.marker.size();
        const std::size_t length = numberLengthAt(line, numberAt, pattern.allowsMinus);
        if (length > 0) {
            capture = line.substr(numberAt, length);
            return true;
        }
        if (at == 0) return false;
        from = at - 1 + pattern.marker.size();
    }
    return false;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The number a standard conversion reads at the start of text: white space skipped, an optional
// sign, then the run of decimal digits (empty when there is none).
struct SignedDigits {
    bool negative = false;
    std::string_view digits;
};

SignedDigits leadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && isSpace(text[at])) ++at;
    SignedDigits number;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        number.negative = text[at++] == '-';
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end])) ++end;
    number.digits = text.substr(at, end - at);
    return number;
}

// A whole number of up to 160 bits, enough to tell every float apart from overflow: anything at
// 2^128 or beyond rounds out of the float's range.
class WideNatural {
  public:
    // Appends a decimal digit; false once the number no longer fits.
    bool appendDigit(unsigned digit) {
        std::uint64_t carry = digit;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * 10u + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        return carry == 0;
    }
    int bitLength() const {
        for (int i = static_cast<int>(limbs.size()) - 1; i >= 0; --i) {
            if (limbs[i] != 0) return i * 32 + std::bit_width(limbs[i]);
        }
        return 0;
    }
    unsigned bit(int index) const { return (limbs[index / 32] >> (index % 32)) & 1u; }
    std::uint32_t low() const { return limbs[0]; }

  private:
    std::array<std::uint32_t, 5> limbs{};
};

// The float nearest to value (ties to even), or nothing when that lies beyond the largest float.
bool roundToFloat(const WideNatural& value, float& result) {
    constexpr int mantissaBits = 24;
    const int length = value.bitLength();
    if (length <= mantissaBits) {
        result = static_cast<float>(value.low());  // exact
        return true;
    }
    std::uint32_t mantissa = 0;
    for (int i = length - 1; i >= length - mantissaBits; --i)
        mantissa = mantissa << 1 | value.bit(i);
    const int roundBit = length - mantissaBits - 1;
    bool beyondHalf = false;
    for (int i = 0; i < roundBit && !beyondHalf; ++i) beyondHalf = value.bit(i) != 0;
    int exponent = length - 1;
    if (value.bit(roundBit) != 0 && (beyondHalf || (mantissa & 1u) != 0)) {
        if (++mantissa == 1u << mantissaBits) {
            mantissa >>= 1;
            ++exponent;
        }
    }
    if (exponent > 127) return false;
    const std::uint32_t bits =
        static_cast<std::uint32_t>(exponent + 127) << 23 | (mantissa & 0x7FFFFFu);
    result = std::bit_cast<float>(bits);
    return true;
}

}  // namespace

// A search tries start positions from the left, and ".*" cannot cross a line terminator: the
// result is the last occurrence within the first line that holds one. Done without backtracking,
// so a name of any length needs no stack.
std::string_view parameterText(std::string_view name, const NamePattern& pattern,
                               std::string_view defaultText) {
    std::string_view capture;
    std::size_t lineStart = 0;
    while (lineStart <= name.size()) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < name.size() && !isLineTerminator(name[lineEnd])) ++lineEnd;
        if (lastCaptureInLine(name.substr(lineStart, lineEnd - lineStart), pattern, capture))
            return capture;
        lineStart = lineEnd + 1;
    }
    return defaultText;
}

namespace {

std::string_view messageOf(ConversionFailure failure, std::string_view invalid,
                           std::string_view outOfRange) {
    switch (failure) {
        case ConversionFailure::none:
            break;
        case ConversionFailure::invalidArgument:
            return invalid;
        case ConversionFailure::outOfRange:
            return outOfRange;
    }
    return {};
}

}  // namespace

std::string_view failureMessage(const ParameterValue<std::int32_t>& value) {
    return messageOf(value.failure, "invalid stoi argument", "stoi argument out of range");
}

std::string_view failureMessage(const ParameterValue<float>& value) {
    return messageOf(value.failure, "invalid stof argument", "stof argument out of range");
}

ParameterValue<std::int32_t> intParameter(std::string_view name, const NamePattern& pattern,
                                          std::string_view defaultText) {
    const SignedDigits number = leadingNumber(parameterText(name, pattern, defaultText));
    if (number.digits.empty()) return {0, ConversionFailure::invalidArgument};
    const std::uint32_t limit = number.negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint32_t magnitude = 0;
    for (char digit : number.digits) {
        const auto value = static_cast<std::uint32_t>(digit - '0');
        if (magnitude > (limit - value) / 10u) return {0, ConversionFailure::outOfRange};
        magnitude = magnitude * 10u + value;
    }
    // Two's complement: the magnitude 2^31 negated is the smallest 32-bit integer.
    return {static_cast<std::int32_t>(number.negative ? 0u - magnitude : magnitude)};
}

ParameterValue<float> floatParameter(std::string_view name, const NamePattern& pattern,
                                     std::string_view defaultText) {
    const SignedDigits number = leadingNumber(parameterText(name, pattern, defaultText));
    if (number.digits.empty()) return {0.0f, ConversionFailure::invalidArgument};
    WideNatural magnitude;
    for (char digit : number.digits) {
        if (!magnitude.appendDigit(static_cast<unsigned>(digit - '0')))
            return {0.0f, ConversionFailure::outOfRange};
    }
    float value = 0.0f;
    if (!roundToFloat(magnitude, value)) return {0.0f, ConversionFailure::outOfRange};
    return {number.negative ? -value : value};
}
