// What a frame name may hold, in a scene or a model: UTF-8 text without control characters.
#include <gtest/gtest.h>

#include <string>

#include "sim/formats/frame_name_rule.h"
#include "sim/formats/scene.h"

namespace sim {
namespace {

TEST(FrameNameRule, RefusesControlCharactersOnly) {
    const std::string prefix = "frame names must not hold control characters: ";
    const struct {
        std::string name;
        std::string fault;
    } cases[] = {
        {"vx_fbrake_az-30 ~", ""},
        {"G\xC3\xA4nge \xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80", ""},
        {"r\xC2\xA0", ""},  // U+00A0, just after the second set of control characters
        {std::string("vx_\0x", 5), "byte 0x00 at position 3"},
        {"a\tb", "byte 0x09 at position 1"},
        {"a\x7F", "byte 0x7F at position 1"},
        {"\xC2\x80", "character U+0080 at position 0"},
        {"ab\xC2\x85", "character U+0085 at position 2"},
        {"\xC3\xA4\xC2\x9F", "character U+009F at position 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(frameNameFault(c.name), c.fault.empty() ? "" : prefix + c.fault) << c.name;
    }
}

TEST(FrameNameRule, SceneKeepsAUtf8NameByteForByte) {
    const Scene scene =
        readScene(R"({"format":1,"ticks":1,"vehicles":[{"name":"a","class":9,"modelIndex":1,)"
                  R"("model":{"name":"r\u00e9 \u6f22"}}]})",
                  "t.json");
    EXPECT_EQ(scene.vehicles[0].model.name, "r\xC3\xA9 \xE6\xBC\xA2");
}

}  // namespace
}  // namespace sim
