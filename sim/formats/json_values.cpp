#include "sim/formats/json_values.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

#include "sim/formats/json_writing.h"

namespace sim {

namespace {

using Kind = JsonNode::Kind;

// Large bounds with thousands separators, as people write them: 1,000,000.
std::string showNumber(std::int64_t value) {
    // The magnitude in unsigned arithmetic: the lowest 64-bit integer has no positive counterpart.
    const std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    const std::string digits = std::to_string(value < 0 ? 0 - magnitude : magnitude);
    std::string shown = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && digits.size() > 5 && (digits.size() - i) % 3 == 0) shown += ',';
        shown += digits[i];
    }
    return shown;
}

std::string rangeText(std::int64_t min, std::int64_t max) {
    return showNumber(min) + " to " + showNumber(max);
}

// The value a trace writes as a string because JSON has no number for it.
template <typename Number>
std::optional<Number> nonFinite(const JsonNode& node) {
    if (node.kind != Kind::string) return std::nullopt;
    if (node.text == "inf") return std::numeric_limits<Number>::infinity();
    if (node.text == "-inf") return -std::numeric_limits<Number>::infinity();
    if (node.text == "nan") return std::numeric_limits<Number>::quiet_NaN();
    return std::nullopt;
}

}  // namespace

void failAt(const JsonNode& at, const std::string& path, const std::string& what) {
    throw JsonError(at.pos, path, what);
}

std::string describe(const JsonNode& node) {
    if (node.kind == Kind::number) return node.text;
    if (node.kind == Kind::string) return "the string " + jsonQuoted(node.text);
    return kindName(node.kind);
}

std::string placedMessage(std::string_view fileName, const JsonError& error, int lineOffset) {
    std::ostringstream message;
    message << fileName << ":" << error.pos.line + lineOffset << ":" << error.pos.column << ": ";
    if (!error.path.empty()) message << error.path << ": ";
    message << error.what();
    return message.str();
}

ObjectReader::ObjectReader(const JsonNode& node, std::string path,
                           std::initializer_list<const char*> keys, const std::string& hint)
    : ObjectReader(node, std::move(path)) {
    for (const JsonNode::Member& member : node.members) {
        bool known = false;
        for (const char* key : keys) known = known || member.key == key;
        if (known) continue;
        std::string expected;
        for (const char* key : keys) expected += std::string(expected.empty() ? "" : ", ") + key;
        throw JsonError(member.keyPos, memberPath(path_, member.key),
                        "unknown key (expected one of: " + expected + ")" + hint);
    }
}

ObjectReader::ObjectReader(const JsonNode& node, std::string path)
    : node_(node), path_(std::move(path)) {
    if (node.kind != Kind::object) {
        failAt(node, path_, std::string("expected an object, got ") + describe(node));
    }
}

const JsonNode& ObjectReader::required(const char* key) const {
    const JsonNode* value = node_.find(key);
    if (value == nullptr) failAt(node_, memberPath(path_, key), "required but missing");
    return *value;
}

std::int64_t readInteger(const JsonNode& node, const std::string& path, std::int64_t min,
                         std::int64_t max) {
    if (node.kind != Kind::number) failAt(node, path, "expected an integer, got " + describe(node));
    if (node.text.find_first_of(".eE") != std::string::npos) {
        failAt(node, path, "expected an integer, got " + node.text);
    }
    std::int64_t value = 0;
    const char* end = node.text.data() + node.text.size();
    const auto result = std::from_chars(node.text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value < min || value > max) {
        failAt(node, path, node.text + " is out of range (allowed: " + rangeText(min, max) + ")");
    }
    return value;
}

std::optional<std::int64_t> readOptionalInteger(const JsonNode* node, const std::string& path,
                                                std::int64_t min, std::int64_t max) {
    if (node == nullptr || node->kind == Kind::null) return std::nullopt;
    return readInteger(*node, path, min, max);
}

float readFloat(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::number) failAt(node, path, "expected a number, got " + describe(node));
    const char* begin = node.text.data();
    const char* end = begin + node.text.size();
    float value = 0.0f;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large, or so small that the nearest float is zero.
        double wide = 0.0;
        std::from_chars(begin, end, wide);
        if (!(std::fabs(wide) < 1.0)) {
            failAt(node, path, node.text + " is out of range for a 32-bit float");
        }
        return node.text[0] == '-' ? -0.0f : 0.0f;
    }
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        failAt(node, path, node.text + " is out of range for a 32-bit float");
    }
    return value;
}

float readTraceFloat(const JsonNode& node, const std::string& path) {
    if (const auto special = nonFinite<float>(node)) return *special;
    return readFloat(node, path);
}

double readTraceDouble(const JsonNode& node, const std::string& path) {
    if (const auto special = nonFinite<double>(node)) return *special;
    if (node.kind != Kind::number) failAt(node, path, "expected a number, got " + describe(node));
    const char* begin = node.text.data();
    const char* end = begin + node.text.size();
    double value = 0.0;
    // The trace writes every double in a form that reads back exactly, never one out of range.
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        failAt(node, path, node.text + " is out of range for a 64-bit float");
    }
    return value;
}

bool readBool(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::boolean) {
        failAt(node, path, "expected true or false, got " + describe(node));
    }
    return node.boolean;
}

const std::string& readString(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::string) failAt(node, path, "expected a string, got " + describe(node));
    return node.text;
}

const std::vector<JsonNode>& readArray(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::array) failAt(node, path, "expected an array, got " + describe(node));
    return node.items;
}

}  // namespace sim
