#include "animation/name_parameters.h"

#include <stdexcept>

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
bool lastCaptureInLine(std::string_view line, const NamePattern& pattern, std::string& capture) {
    std::size_t from = line.size();
    while (from >= pattern.marker.size()) {
        const std::size_t at = line.rfind(pattern.marker, from - pattern.marker.size());
        if (at == std::string_view::npos) return false;
        const std::size_t numberAt = at + pattern.marker.size();
        const std::size_t length = numberLengthAt(line, numberAt, pattern.allowsMinus);
        if (length > 0) {
            capture.assign(line.substr(numberAt, length));
            return true;
        }
        if (at == 0) return false;
        from = at - 1 + pattern.marker.size();
    }
    return false;
}

}  // namespace

std::string patternText(const NamePattern& pattern) {
    return ".*" + std::string(pattern.marker) +
           (pattern.allowsMinus ? "(-?[0-9]+).*" : "([0-9]+).*");
}

// A search tries start positions from the left, and ".*" cannot cross a line terminator: the
// result is the last occurrence within the first line that holds one. Done without backtracking,
// so a name of any length needs no stack.
std::string nameParameter(std::string_view name, const NamePattern& pattern,
                          std::string_view defaultText) {
    std::string capture;
    std::size_t lineStart = 0;
    while (lineStart <= name.size()) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < name.size() && !isLineTerminator(name[lineEnd])) ++lineEnd;
        if (lastCaptureInLine(name.substr(lineStart, lineEnd - lineStart), pattern, capture))
            return capture;
        lineStart = lineEnd + 1;
    }
    return std::string(defaultText);
}

std::int32_t intParameter(std::string_view name, const NamePattern& pattern,
                          std::string_view defaultText) {
    const std::string text = nameParameter(name, pattern, defaultText);
    try {
        return std::stoi(text, nullptr, 10);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("invalid stoi argument");
    } catch (const std::out_of_range&) {
        throw std::out_of_range("stoi argument out of range");
    }
}

float floatParameter(std::string_view name, const NamePattern& pattern,
                     std::string_view defaultText) {
    const std::string text = nameParameter(name, pattern, defaultText);
    try {
        return std::stof(text);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("invalid stof argument");
    } catch (const std::out_of_range&) {
        throw std::out_of_range("stof argument out of range");
    }
}
