#include "sim/json_reader.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <nlohmann/json.hpp>

namespace sim {

namespace {

// Walks the text for the parser and remembers how far it has read, so that each value can be
// placed in the text and a number's token recovered.
class TrackingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackingIterator() = default;
    TrackingIterator(const char* at, const char** furthest) : at_(at), furthest_(furthest) {}
    reference operator*() const { return *at_; }
    TrackingIterator& operator++() {
        ++at_;
        if (furthest_ != nullptr && at_ > *furthest_) *furthest_ = at_;
        return *this;
    }
    TrackingIterator operator++(int) {
        TrackingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const TrackingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const TrackingIterator& other) const { return at_ != other.at_; }

private:
    const char* at_ = nullptr;
    const char** furthest_ = nullptr;
};

bool isNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

class TreeBuilder {
public:
    using json = nlohmann::json;

    TreeBuilder(const std::string& text, const char** furthest) : text_(text), furthest_(furthest) {}

    bool null() { return add(leaf(JsonNode::Kind::null, tokenStart(4))); }
    bool boolean(bool value) {
        JsonNode node = leaf(JsonNode::Kind::boolean, tokenStart(value ? 4 : 5));
        node.boolean = value;
        return add(std::move(node));
    }
    bool number_integer(json::number_integer_t) { return number(); }
    bool number_unsigned(json::number_unsigned_t) { return number(); }
    bool number_float(json::number_float_t, const std::string&) { return number(); }
    bool string(std::string& value) {
        JsonNode node = leaf(JsonNode::Kind::string, stringStart());
        node.text = std::move(value);
        return add(std::move(node));
    }
    bool binary(json::binary_t&) { return false; }  // never produced by the JSON lexer

    bool start_object(std::size_t) { return open(JsonNode::Kind::object); }
    bool start_array(std::size_t) { return open(JsonNode::Kind::array); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(std::string& key) {
        Frame& frame = stack_.back();
        for (const JsonNode::Member& member : frame.node.members) {
            if (member.key == key) {
                error_ = JsonError(stringStart(), memberPath(frame.path, key),
                                   "duplicate key (first given at line " + std::to_string(member.keyPos.line) +
                                       ", column " + std::to_string(member.keyPos.column) + ")");
                return false;
            }
        }
        frame.pendingKey = std::move(key);
        frame.pendingKeyPos = stringStart();
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) {
        std::string what = ex.what();
        const std::size_t column = what.find(", column ");
        const std::size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
        if (colon != std::string::npos) what = what.substr(colon + 2);
        error_ = JsonError(positionOf(lastRead()), "", "malformed JSON: " + what);
        return false;
    }

    JsonNode takeRoot() { return std::move(root_); }
    const JsonError& error() const { return error_; }

private:
    struct Frame {
        JsonNode node;
        std::string path;
        std::string pendingKey;
        SourcePos pendingKeyPos;
    };

    std::size_t readSoFar() const { return static_cast<std::size_t>(*furthest_ - text_.data()); }
    std::size_t lastRead() const { return readSoFar() == 0 ? 0 : readSoFar() - 1; }

    SourcePos positionOf(std::size_t offset) const {
        if (lineStarts_.empty()) {
            lineStarts_.push_back(0);
            for (std::size_t i = 0; i < text_.size(); ++i) {
                if (text_[i] == '\n') lineStarts_.push_back(i + 1);
            }
        }
        const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
        const std::size_t line = static_cast<std::size_t>(next - lineStarts_.begin());  // 1-based
        return SourcePos{static_cast<int>(line), static_cast<int>(offset - lineStarts_[line - 1] + 1)};
    }
    // Single-character and literal tokens end exactly where reading stopped.
    SourcePos tokenStart(std::size_t length) const { return positionOf(readSoFar() - length); }
    // The parser stops just after a string's closing quote; its opening quote is the nearest
    // quote before that which no backslash escapes.
    SourcePos stringStart() const { return positionOf(stringStartOffset()); }
    std::size_t stringStartOffset() const {
        std::size_t at = lastRead();
        while (at > 0) {
            --at;
            if (text_[at] != '"') continue;
            std::size_t backslashes = 0;
            while (at > backslashes && text_[at - 1 - backslashes] == '\\') ++backslashes;
            if (backslashes % 2 == 0) return at;
        }
        return 0;
    }

    // The lexer reads one character past a number before handing it over (unless the text ends
    // there): the token is the run of number characters before that point.
    bool number() {
        std::size_t end = readSoFar();
        while (end > 0 && !isNumberChar(text_[end - 1])) --end;
        std::size_t start = end;
        while (start > 0 && isNumberChar(text_[start - 1])) --start;
        JsonNode node = leaf(JsonNode::Kind::number, positionOf(start));
        node.text = text_.substr(start, end - start);
        return add(std::move(node));
    }

    JsonNode leaf(JsonNode::Kind kind, SourcePos pos) const {
        JsonNode node;
        node.kind = kind;
        node.pos = pos;
        return node;
    }

    std::string childPath() const {
        if (stack_.empty()) return "";
        const Frame& parent = stack_.back();
        if (parent.node.kind == JsonNode::Kind::array) return itemPath(parent.path, parent.node.items.size());
        return memberPath(parent.path, parent.pendingKey);
    }

    bool open(JsonNode::Kind kind) {
        if (static_cast<int>(stack_.size()) >= maxJsonDepth) {
            error_ = JsonError(tokenStart(1), childPath(),
                               "nested deeper than " + std::to_string(maxJsonDepth) + " levels");
            return false;
        }
        Frame frame;
        frame.node = leaf(kind, tokenStart(1));
        frame.path = childPath();
        stack_.push_back(std::move(frame));
        return true;
    }

    bool close() {
        JsonNode node = std::move(stack_.back().node);
        stack_.pop_back();
        return add(std::move(node));
    }

    bool add(JsonNode node) {
        if (stack_.empty()) {
            root_ = std::move(node);
            return true;
        }
        Frame& parent = stack_.back();
        if (parent.node.kind == JsonNode::Kind::array) {
            parent.node.items.push_back(std::move(node));
        } else {
            parent.node.members.push_back({std::move(parent.pendingKey), parent.pendingKeyPos, std::move(node)});
        }
        return true;
    }

    const std::string& text_;
    const char** furthest_;
    std::vector<Frame> stack_;
    mutable std::vector<std::size_t> lineStarts_;
    JsonNode root_;
    JsonError error_{SourcePos{}, "", ""};
};

bool isPlainWord(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key) {
        const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!word) return false;
    }
    return true;
}

}  // namespace

const JsonNode* JsonNode::find(const std::string& key) const {
    for (const Member& member : members) {
        if (member.key == key) return &member.value;
    }
    return nullptr;
}

const char* kindName(JsonNode::Kind kind) {
    switch (kind) {
        case JsonNode::Kind::null: return "null";
        case JsonNode::Kind::boolean: return "a boolean";
        case JsonNode::Kind::number: return "a number";
        case JsonNode::Kind::string: return "a string";
        case JsonNode::Kind::array: return "an array";
        case JsonNode::Kind::object: return "an object";
    }
    return "a value";
}

JsonNode parseJson(const std::string& text) {
    const char* furthest = text.data();
    TreeBuilder builder(text, &furthest);
    const TrackingIterator first(text.data(), &furthest);
    const TrackingIterator last(text.data() + text.size(), nullptr);
    if (!nlohmann::json::sax_parse(first, last, &builder)) throw builder.error();
    return builder.takeRoot();
}

std::string memberPath(const std::string& path, const std::string& key) {
    std::string shown;
    if (isPlainWord(key)) {
        shown = key;
    } else {
        appendJsonString(shown, key);
    }
    return path.empty() ? shown : path + "." + shown;
}

std::string itemPath(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

void appendJsonString(std::string& out, const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
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

}  // namespace sim
