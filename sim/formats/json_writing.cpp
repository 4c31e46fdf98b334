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

std::string jsonQuotedOrNull(std::string_view text) {
    return text.empty() ? "null" : jsonQuoted(text);
}

void appendFloat(std::string& out, float value) { appendNumber(out, value); }
void appendDouble(std::string& out, double value) { appendNumber(out, value); }

void JsonObject::member(std::string_view key) {
    if (out_.size() > 1) out_ += ',';
    appendJsonString(out_, key);
    out_ += ':';
}

JsonObject& JsonObject::text(std::string_view key, std::string_view value) {
    member(key);
    appendJsonString(out_, value);
    return *this;
}

JsonObject& JsonObject::integer(std::string_view key, long long value) {
    member(key);
    out_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::boolean(std::string_view key, bool value) {
    member(key);
    out_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::raw(std::string_view key, std::string_view json) {
    member(key);
    out_ += json;
    return *this;
}

std::string JsonObject::close() { return std::move(out_) + "}"; }

std::string jsonArray(const std::vector<std::string>& items) {
    std::string out;
    appendList(out, items, [&out](const std::string& item) { out += item; });
    return out;
}

}  // namespace sim
