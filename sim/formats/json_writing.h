#pragma once
// JSON text as vorlix-sim writes it: the same bytes on every platform.

#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Writes text as a JSON string literal (quotes included); control bytes are escaped, other bytes
// are copied as they are.
void appendJsonString(std::string& out, std::string_view text);
std::string jsonQuoted(std::string_view text);
std::string jsonQuotedOrNull(std::string_view text);  // null for an empty text

// The shortest decimal text that reads back as the same float or double. Values that JSON cannot
// carry as numbers (infinities, not-a-number) are written as the strings "inf", "-inf", "nan".
void appendFloat(std::string& out, float value);
void appendDouble(std::string& out, double value);

// [a,b,...] of anything that appendItem(item) writes to out.
template <typename List, typename AppendItem>
void appendList(std::string& out, const List& items, AppendItem appendItem) {
    out += '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first) out += ',';
        first = false;
        appendItem(item);
    }
    out += ']';
}

// One JSON object, its members in the order added, so the same members give the same bytes.
class JsonObject {
  public:
    JsonObject& text(std::string_view key, std::string_view value);
    JsonObject& integer(std::string_view key, long long value);
    JsonObject& boolean(std::string_view key, bool value);
    JsonObject& raw(std::string_view key, std::string_view json);  // a value written already
    std::string close();

  private:
    void member(std::string_view key);
    std::string out_ = "{";
};

// Values written already, as one array.
std::string jsonArray(const std::vector<std::string>& items);

}  // namespace sim
