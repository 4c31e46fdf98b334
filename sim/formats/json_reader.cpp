#include "sim/formats/json_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>

#include "sim/formats/json_writing.h"
#include "sim/formats/printable_bytes.h"

namespace sim {

namespace {

enum class Token {
    beginObject,
    endObject,
    beginArray,
    endArray,
    nameSeparator,
    valueSeparator,
    string,
    number,
    trueLiteral,
    falseLiteral,
    nullLiteral,
    end
};

const char* tokenName(Token token) {
    switch (token) {
        case Token::beginObject:
            return "'{'";
        case Token::endObject:
            return "'}'";
        case Token::beginArray:
            return "'['";
        case Token::endArray:
            return "']'";
        case Token::nameSeparator:
            return "':'";
        case Token::valueSeparator:
            return "','";
        case Token::string:
            return "string literal";
        case Token::number:
            return "number literal";
        case Token::trueLiteral:
            return "true literal";
        case Token::falseLiteral:
            return "false literal";
        case Token::nullLiteral:
            return "null literal";
        case Token::end:
            return "end of input";
    }
    return "token";
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string byteText(unsigned char byte) {
    char text[8];
    if (byte != ' ' && isPrintableAscii(byte)) {
        std::snprintf(text, sizeof text, "'%c'", byte);
    } else {
        std::snprintf(text, sizeof text, "0x%02X", byte);
    }
    return text;
}

// The place of a value in the document, kept as links up to the root and spelled out only for
// an error: most values never need theirs.
struct PathLink {
    const PathLink* parent = nullptr;
    std::string_view key;
    std::size_t index = 0;
    bool isItem = false;

    std::string text() const {
        if (parent == nullptr) return "";
        const std::string above = parent->text();
        return isItem ? itemPath(above, index) : memberPath(above, key);
    }
};

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {
        lineStarts_.push_back(0);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n') lineStarts_.push_back(i + 1);
        }
    }

    JsonNode document() {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            at_ = 3;  // a byte order mark is no part of the value
        next();
        const PathLink root;
        JsonNode node = value(root, 0);
        next();
        if (token_ != Token::end) unexpected("value", "end of input");
        return node;
    }

  private:
    SourcePos positionOf(std::size_t offset) const {
        const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
        const auto line = static_cast<std::size_t>(next - lineStarts_.begin());  // from 1
        return SourcePos{static_cast<int>(line),
                         static_cast<int>(offset - lineStarts_[line - 1] + 1)};
    }

    // At the given byte, or at the last one when the text ended first.
    [[noreturn]] void malformed(std::size_t offset, const std::string& what) const {
        const std::size_t last = text_.empty() ? 0 : text_.size() - 1;
        throw JsonError(positionOf(std::min(offset, last)), "", "malformed JSON: " + what);
    }

    [[noreturn]] void unexpected(const char* parsing, const char* expected) const {
        malformed(at_ == 0 ? 0 : at_ - 1, std::string("syntax error while parsing ") + parsing +
                                              " - unexpected " + tokenName(token_) + "; expected " +
                                              expected);
    }

    void next() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
        tokenStart_ = at_;
        if (at_ == text_.size()) {
            token_ = Token::end;
            return;
        }
        switch (text_[at_]) {
            case '{':
                return single(Token::beginObject);
            case '}':
                return single(Token::endObject);
            case '[':
                return single(Token::beginArray);
            case ']':
                return single(Token::endArray);
            case ':':
                return single(Token::nameSeparator);
            case ',':
                return single(Token::valueSeparator);
            case '"':
                return readString();
            case 't':
                return readLiteral("true", Token::trueLiteral);
            case 'f':
                return readLiteral("false", Token::falseLiteral);
            case 'n':
                return readLiteral("null", Token::nullLiteral);
            default:
                if (text_[at_] == '-' || isDigit(text_[at_])) return readNumber();
                malformed(at_, "unexpected character " +
                                   byteText(static_cast<unsigned char>(text_[at_])));
        }
    }

    void single(Token token) {
        ++at_;
        token_ = token;
    }

    void readLiteral(std::string_view word, Token token) {
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (at_ + i >= text_.size() || text_[at_ + i] != word[i]) {
                malformed(at_ + i, "invalid literal; expected " + std::string(word));
            }
        }
        at_ += word.size();
        token_ = token;
    }

    bool digitAt(std::size_t offset) const {
        return offset < text_.size() && isDigit(text_[offset]);
    }

    void readNumber() {
        const std::size_t start = at_;
        if (text_[at_] == '-') ++at_;
        if (!digitAt(at_)) malformed(at_, "invalid number; expected a digit after '-'");
        if (text_[at_] == '0') {
            ++at_;
        } else {
            while (digitAt(at_)) ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!digitAt(at_)) malformed(at_, "invalid number; expected a digit after '.'");
            while (digitAt(at_)) ++at_;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (!digitAt(at_)) malformed(at_, "invalid number; expected a digit in the exponent");
            while (digitAt(at_)) ++at_;
        }
        value_.assign(text_.substr(start, at_ - start));
        token_ = Token::number;
    }

    void readString() {
        value_.clear();
        ++at_;
        while (true) {
            if (at_ >= text_.size()) malformed(at_, "invalid string: missing closing quote");
            const auto byte = static_cast<unsigned char>(text_[at_]);
            if (byte == '"') {
                ++at_;
                token_ = Token::string;
                return;
            }
            if (byte == '\\') {
                readEscape();
            } else if (byte < 0x20) {
                malformed(at_, "invalid string: control character " + byteText(byte) +
                                   " must be escaped");
            } else if (byte < 0x80) {
                value_ += static_cast<char>(byte);
                ++at_;
            } else {
                readMultiByte();
            }
        }
    }

    void readEscape() {
        ++at_;
        if (at_ >= text_.size()) malformed(at_, "invalid string: missing closing quote");
        const char escaped = text_[at_++];
        switch (escaped) {
            case '"':
                value_ += '"';
                return;
            case '\\':
                value_ += '\\';
                return;
            case '/':
                value_ += '/';
                return;
            case 'b':
                value_ += '\b';
                return;
            case 'f':
                value_ += '\f';
                return;
            case 'n':
                value_ += '\n';
                return;
            case 'r':
                value_ += '\r';
                return;
            case 't':
                value_ += '\t';
                return;
            case 'u':
                return readCodePoint();
            default:
                malformed(at_ - 1, "invalid string: forbidden character after backslash");
        }
    }

    std::uint32_t hexDigits() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            const char c = at_ < text_.size() ? text_[at_] : '\0';
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9') {
                digit = static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                malformed(at_, "invalid string: '\\u' must be followed by 4 hex digits");
            }
            value = value * 16 + digit;
        }
        return value;
    }

    void readCodePoint() {
        std::uint32_t code = hexDigits();
        if (code >= 0xDC00 && code <= 0xDFFF) {
            malformed(at_ - 1,
                      "invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF");
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            const char* const pairing =
                "invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF";
            if (text_.substr(at_, 2) != "\\u") malformed(at_, pairing);
            at_ += 2;
            const std::uint32_t low = hexDigits();
            if (low < 0xDC00 || low > 0xDFFF) malformed(at_ - 1, pairing);
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        if (code < 0x80) {
            value_ += static_cast<char>(code);
        } else if (code < 0x800) {
            value_ += static_cast<char>(0xC0 | (code >> 6));
            value_ += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            value_ += static_cast<char>(0xE0 | (code >> 12));
            value_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            value_ += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            value_ += static_cast<char>(0xF0 | (code >> 18));
            value_ += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            value_ += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            value_ += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // Well-formed UTF-8 only: no overlong forms, no surrogates, nothing above U+10FFFF.
    void readMultiByte() {
        const auto lead = static_cast<unsigned char>(text_[at_]);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            malformed(at_, "invalid string: ill-formed UTF-8 byte " + byteText(lead));
        }
        for (std::size_t i = 1; i < length; ++i) {
            if (at_ + i >= text_.size())
                malformed(at_ + i, "invalid string: missing closing quote");
            const auto byte = static_cast<unsigned char>(text_[at_ + i]);
            if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) {
                malformed(at_ + i, "invalid string: ill-formed UTF-8 byte " + byteText(byte));
            }
        }
        value_.append(text_.substr(at_, length));
        at_ += length;
    }

    JsonNode value(const PathLink& path, int depth) {
        JsonNode node;
        node.pos = positionOf(tokenStart_);
        switch (token_) {
            case Token::beginObject:
                node.kind = JsonNode::Kind::object;
                readObject(node, path, depth + 1);
                break;
            case Token::beginArray:
                node.kind = JsonNode::Kind::array;
                readArray(node, path, depth + 1);
                break;
            case Token::string:
                node.kind = JsonNode::Kind::string;
                node.text = std::move(value_);
                break;
            case Token::number:
                node.kind = JsonNode::Kind::number;
                node.text = std::move(value_);
                break;
            case Token::trueLiteral:
            case Token::falseLiteral:
                node.kind = JsonNode::Kind::boolean;
                node.boolean = token_ == Token::trueLiteral;
                break;
            case Token::nullLiteral:
                break;
            default:
                unexpected("value", "'[', '{', or a literal");
        }
        return node;
    }

    void checkDepth(const JsonNode& node, const PathLink& path, int depth) const {
        if (depth > maxJsonDepth) {
            throw JsonError(node.pos, path.text(),
                            "nested deeper than " + std::to_string(maxJsonDepth) + " levels");
        }
    }

    void readObject(JsonNode& node, const PathLink& path, int depth) {
        checkDepth(node, path, depth);
        std::map<std::string, SourcePos, std::less<>> firstGiven;
        next();
        if (token_ == Token::endObject) return;
        while (true) {
            if (token_ != Token::string) unexpected("object key", "string literal");
            const SourcePos keyPos = positionOf(tokenStart_);
            std::string key = std::move(value_);
            const auto [first, fresh] = firstGiven.emplace(key, keyPos);
            if (!fresh) {
                throw JsonError(keyPos, memberPath(path.text(), key),
                                "duplicate key (first given at line " +
                                    std::to_string(first->second.line) + ", column " +
                                    std::to_string(first->second.column) + ")");
            }
            next();
            if (token_ != Token::nameSeparator) unexpected("object separator", "':'");
            next();
            const PathLink member{&path, first->first, 0, false};
            JsonNode memberValue = value(member, depth);
            node.members.push_back({std::move(key), keyPos, std::move(memberValue)});
            next();
            if (token_ == Token::endObject) return;
            if (token_ != Token::valueSeparator) unexpected("object", "',' or '}'");
            next();
        }
    }

    void readArray(JsonNode& node, const PathLink& path, int depth) {
        checkDepth(node, path, depth);
        next();
        if (token_ == Token::endArray) return;
        while (true) {
            const PathLink item{&path, {}, node.items.size(), true};
            node.items.push_back(value(item, depth));
            next();
            if (token_ == Token::endArray) return;
            if (token_ != Token::valueSeparator) unexpected("array", "',' or ']'");
            next();
        }
    }

    std::string_view text_;
    std::vector<std::size_t> lineStarts_;
    std::size_t at_ = 0;
    std::size_t tokenStart_ = 0;
    Token token_ = Token::end;
    std::string value_;  // the text of the last string or number token
};

bool isPlainWord(std::string_view key) {
    if (key.empty()) return false;
    for (char c : key) {
        const bool word =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!word) return false;
    }
    return true;
}

}  // namespace

const JsonNode* JsonNode::find(std::string_view key) const {
    for (const Member& member : members) {
        if (member.key == key) return &member.value;
    }
    return nullptr;
}

const char* kindName(JsonNode::Kind kind) {
    switch (kind) {
        case JsonNode::Kind::null:
            return "null";
        case JsonNode::Kind::boolean:
            return "a boolean";
        case JsonNode::Kind::number:
            return "a number";
        case JsonNode::Kind::string:
            return "a string";
        case JsonNode::Kind::array:
            return "an array";
        case JsonNode::Kind::object:
            return "an object";
    }
    return "a value";
}

JsonNode parseJson(std::string_view text) {
    if (text.size() > maxJsonBytes) {
        throw JsonError(SourcePos{}, "",
                        "the text is larger than " + std::to_string(maxJsonBytes >> 20) +
                            " MiB, more than is read");
    }
    return Parser(text).document();
}

std::string memberPath(const std::string& path, std::string_view key) {
    const std::string shown = isPlainWord(key) ? std::string(key) : jsonQuoted(key);
    return path.empty() ? shown : path + "." + shown;
}

std::string itemPath(const std::string& path, std::size_t index) {
    return path + "[" + std::to_string(index) + "]";
}

}  // namespace sim
