#include "sim/preview/preview_page.h"

#include "sim/preview/page_parts.h"

namespace sim {

std::string previewPage(std::string_view plotsMarkup, std::string_view dataJson) {
    const auto text = [](const unsigned char* bytes, std::size_t size) {
        return std::string_view(reinterpret_cast<const char*>(bytes), size);
    };
    std::string page(text(pageparts::beforePlots, pageparts::beforePlotsSize));
    page += plotsMarkup;
    page += text(pageparts::beforeData, pageparts::beforeDataSize);
    // In JSON a '<' can only stand inside a string, where \u003c means the same: with none left,
    // no "</script" can end the data element and no "<!--" can change how the browser reads it.
    for (char c : dataJson) {
        if (c == '<') {
            page += "\\u003c";
        } else {
            page += c;
        }
    }
    page += text(pageparts::afterData, pageparts::afterDataSize);
    return page;
}

}  // namespace sim
