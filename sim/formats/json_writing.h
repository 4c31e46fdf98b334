#pragma once
// JSON text as vorlix-sim writes it: the same bytes on every platform.

#include <string>
#include <string_view>

namespace sim {

// Writes text as a JSON string literal (quotes included); control bytes are escaped, other bytes
// are copied as they are.
void appendJsonString(std::string& out, std::string_view text);
std::string jsonQuoted(std::string_view text);

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

}  // namespace sim
