#include "preview/preview_page.h"

#include "preview/page_parts.h"

namespace preview {

std::string pageWith(std::string_view dataJson) {
    const auto text = [](const unsigned char* bytes, std::size_t size) {
        return std::string_view(reinterpret_cast<const char*>(bytes), size);
    };
    std::string page(text(parts::beforeData, parts::beforeDataSize));
    page.reserve(page.size() + dataJson.size() + parts::afterDataSize);
    // In JSON a '<' can only stand inside a string, where \u003c means the same: with none left,
    // no "</script" can end the data element and no "<!--" can change how the browser reads it.
    for (char c : dataJson) {
        if (c == '<') {
            page += "\\u003c";
        } else {
            page += c;
        }
    }
    page += text(parts::afterData, parts::afterDataSize);
    return page;
}

}  // namespace preview
