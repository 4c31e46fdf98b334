#pragma once
// Typed values out of a JSON tree, each refused with its place and the problem when it is not
// what the reader expects. Scenes and traces read their fields through these.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/formats/json_reader.h"

namespace sim {

[[noreturn]] void failAt(const JsonNode& at, const std::string& path, const std::string& what);

// "a number's text", "the string \"x\"", "an array", ...: what a value is, for messages.
std::string describe(const JsonNode& node);

// The error as one line: file:line:column: path: problem. lineOffset is added to the line, for a
// text that is one line of a larger file.
std::string placedMessage(std::string_view fileName, const JsonError& error, int lineOffset = 0);

// An object's members by key. With a list of keys, every other key is refused where it stands;
// without one, other keys are skipped, as readers of a format that may gain fields do.
class ObjectReader {
  public:
    ObjectReader(const JsonNode& node, std::string path, std::initializer_list<const char*> keys,
                 const std::string& hint = "");
    ObjectReader(const JsonNode& node, std::string path);

    // Null counts as given: only fields that allow null ask for it explicitly.
    const JsonNode* optional(const char* key) const { return node_.find(key); }
    const JsonNode& required(const char* key) const;
    std::string path(const char* key) const { return memberPath(path_, key); }

  private:
    const JsonNode& node_;
    std::string path_;
};

std::int64_t readInteger(const JsonNode& node, const std::string& path, std::int64_t min,
                         std::int64_t max);
std::optional<std::int64_t> readOptionalInteger(const JsonNode* node, const std::string& path,
                                                std::int64_t min, std::int64_t max);
// The nearest 32-bit float to the decimal text, rounded once.
float readFloat(const JsonNode& node, const std::string& path);
// As readFloat, and also the strings "inf", "-inf" and "nan" that traces write for values JSON
// cannot carry as numbers; readDouble likewise for 64-bit values.
float readTraceFloat(const JsonNode& node, const std::string& path);
double readTraceDouble(const JsonNode& node, const std::string& path);
bool readBool(const JsonNode& node, const std::string& path);
const std::string& readString(const JsonNode& node, const std::string& path);
const std::vector<JsonNode>& readArray(const JsonNode& node, const std::string& path);

template <std::size_t N>
std::array<float, N> readFloats(const JsonNode& node, const std::string& path) {
    if (node.kind != JsonNode::Kind::array || node.items.size() != N) {
        const std::string got = node.kind == JsonNode::Kind::array
                                    ? std::to_string(node.items.size()) + " items"
                                    : describe(node);
        failAt(node, path, "expected an array of " + std::to_string(N) + " numbers, got " + got);
    }
    std::array<float, N> values{};
    for (std::size_t i = 0; i < N; ++i) values[i] = readFloat(node.items[i], itemPath(path, i));
    return values;
}

}  // namespace sim
