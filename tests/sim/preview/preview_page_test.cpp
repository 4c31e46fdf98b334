#include <gtest/gtest.h>

#include <string>

#include "sim/preview/preview_page.h"

namespace sim {
namespace {

std::string unescaped(std::string text) {
    for (std::size_t at = text.find("\\u003c"); at != std::string::npos;
         at = text.find("\\u003c", at + 1)) {
        text.replace(at, 6, "<");
    }
    return text;
}

// The data element must hold the whole data, read back unchanged, whatever its strings contain:
// a "</script" or "<!--" left as it is would end the element early or hide the rest of the page.
// The plots go into their own element, as they are.
TEST(PreviewPage, DataStaysInsideItsElement) {
    const std::string opening = "<script type=\"application/json\" id=\"vorlix-data\">";
    for (const std::string data : {
             R"({"format":1})",
             R"({"title":"</script><script>alert(1)</script>"})",
             R"({"title":"<!-- <script>","x":"</SCRIPT >","y":"<\/script>"})",
             R"({"names":["a \"quoted\" name","Gänge 漢字","<<<"]})",
         }) {
        const std::string plots = "<section class='vehicle'><svg></svg></section>";
        const std::string page = previewPage(plots, data);
        EXPECT_NE(page.find("<div id=\"plots\">" + plots + "</div>"), std::string::npos);
        const std::size_t start = page.find(opening);
        ASSERT_NE(start, std::string::npos);
        const std::size_t end = page.find("</script>", start);
        const std::string inside =
            page.substr(start + opening.size(), end - start - opening.size());
        EXPECT_EQ(inside.find('<'), std::string::npos) << data;
        EXPECT_EQ(unescaped(inside), data);
        EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
        EXPECT_EQ(page.substr(page.size() - 8), "</html>\n");
    }
}

}  // namespace
}  // namespace sim
