#pragma once
// Reads a JSON text into a tree that keeps what the scene reader needs and a plain JSON value
// forgets: where each value stands in the text, a number's text as written (so that a 32-bit
// float field gets the float nearest to the decimal text, not a rounded double), and the order of
// an object's keys. Duplicate keys are an error instead of being dropped silently.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct SourcePos {
    int line = 1;
    int column = 1;
};

struct JsonMember;

struct JsonNode {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    SourcePos pos;         // where the value starts
    bool boolean = false;
    std::string text;      // a string's value, or a number's text as written
    using Member = JsonMember;
    std::vector<JsonMember> members;  // objects, in text order
    std::vector<JsonNode> items;  // arrays

    const JsonNode* find(const std::string& key) const;
};

struct JsonMember {
    std::string key;
    SourcePos keyPos;
    JsonNode value;
};

const char* kindName(JsonNode::Kind kind);

// A problem at a place of the text. path is the value's place in the document (empty for the top
// level), for example vehicles[1].model.children[0].name.
struct JsonError : std::runtime_error {
    JsonError(SourcePos pos, std::string path, const std::string& what)
        : std::runtime_error(what), pos(pos), path(std::move(path)) {}
    SourcePos pos;
    std::string path;
};

// Deeper nesting is refused: the tree and the scene's frames are walked recursively.
inline constexpr int maxJsonDepth = 256;

JsonNode parseJson(const std::string& text);

// Path helpers: "a" + key -> "a.key", index -> "a[3]"; keys that are not plain words are quoted.
std::string memberPath(const std::string& path, const std::string& key);
std::string itemPath(const std::string& path, std::size_t index);

// Writes text as a JSON string literal (quotes included).
void appendJsonString(std::string& out, const std::string& text);

}  // namespace sim
