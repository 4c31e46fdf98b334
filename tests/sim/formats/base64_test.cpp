#include "sim/formats/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace sim {
namespace {

TEST(Base64, EncodesAndDecodesTheRfc4648Vectors) {
    const struct {
        const char* plain;
        const char* encoded;
    } vectors[] = {{"", ""},
                   {"f", "Zg=="},
                   {"fo", "Zm8="},
                   {"foo", "Zm9v"},
                   {"foob", "Zm9vYg=="},
                   {"fooba", "Zm9vYmE="},
                   {"foobar", "Zm9vYmFy"}};
    for (const auto& v : vectors) {
        EXPECT_EQ(base64(v.plain), v.encoded) << v.plain;
        EXPECT_EQ(fromBase64(v.encoded), v.plain) << v.encoded;
        // data: URIs in the wild leave the padding out.
        std::string unpadded = v.encoded;
        unpadded.erase(unpadded.find_last_not_of('=') + 1);
        EXPECT_EQ(fromBase64(unpadded), v.plain) << unpadded;
    }
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    EXPECT_EQ(fromBase64(base64(everyByte)), everyByte);
}

TEST(Base64, RefusesWhatNoEncodingGives) {
    for (const char* text :
         {"Z", "Zm9vY", "Zg=", "Zg===", "=", "Zg==Zg==", "Zm9v\n", "Zm 9v", "Zm-v", "Zm9v%"}) {
        EXPECT_EQ(fromBase64(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace sim
