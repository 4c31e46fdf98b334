#include "sim/formats/json_writing.h"

#include <charconv>
#include <cmath>

#include "sim/formats/printable_bytes.h"

namespace sim {

namespace {

template <typename Number>
void appendNumber(std::string& out, Number value) {
    if (std::isnan(value)) {
        out += "\"nan\"";
    } else if (std::isinf(value)) {
        out += value < 0 ? "\"-inf\"" : "\"inf\"";
    } else {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out.append(buffer, result.ptr);
    }
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (!isPrintableByte(byte)) {
                    out += "\\u00";
                    out += hex[byte >> 4];
                    out += hex[byte & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

std::string jsonQuoted(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

void appendFloat(std::string& out, float value) { appendNumber(out, value); }
void appendDouble(std::string& out, double value) { appendNumber(out, value); }

}  // namespace sim
