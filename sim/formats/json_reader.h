#pragma once
// Reads a JSON text into a tree that keeps what a plain JSON value forgets: where each value
// stands in the text, a number's text as written (so that a 32-bit float field gets the float
// nearest to the decimal text, not a rounded double), and the order of an object's keys.
// Duplicate keys are an error instead of being dropped silently. The text may come from anyone:
// its size and nesting depth are bounded, so no text can exhaust the stack or the memory.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct SourcePos {
    int line = 1;
    int column = 1;  // in bytes, from 1
};

struct JsonMember;

struct JsonNode {
    enum class Kind { null, boolean, number, string, array, object };
    Kind kind = Kind::null;
    SourcePos pos;  // where the value starts
    bool boolean = false;
    std::string text;  // a string's value, or a number's text as written
    using Member = JsonMember;
    std::vector<JsonMember> members;  // objects, in text order
    std::vector<JsonNode> items;      // arrays

    const JsonNode* find(std::string_view key) const;
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
// Larger texts are refused before reading: the tree takes many times the text's size.
inline constexpr std::size_t maxJsonBytes = std::size_t{64} << 20;

// The whole text must be one JSON value, with white space around it. A syntax error is placed
// at the last character read, which ends the token that does not fit.
JsonNode parseJson(std::string_view text);

// Path helpers: "a" + key -> "a.key", index -> "a[3]"; keys that are not plain words are quoted.
std::string memberPath(const std::string& path, std::string_view key);
std::string itemPath(const std::string& path, std::size_t index);

}  // namespace sim
