// vorlix-sim catalogue: the document tools build names and rides from, instead of tables of their
// own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "sim/check/catalogue_document.h"
#include "sim/check/frame_warnings.h"
#include "sim/formats/json_reader.h"

namespace sim::check {
namespace {

using ::testing::HasSubstr;

// A tool builds names from the catalogue alone: each marker it lists, written after the key,
// must give the checker the value written, and the key alone the listed default.
TEST(CatalogueDocument, BuildsNamesThatTheLibraryReadsAsListed) {
    const JsonNode document = parseJson(catalogueDocument());
    const JsonNode& components = *document.find("components");
    ASSERT_EQ(components.items.size(), componentCount);
    for (const JsonNode& component : components.items) {
        const std::string key = component.find("key")->text;
        auto readBack = [&](const std::string& name, const std::string& marker) -> std::string {
            const FrameRecord record = readFrame(name, std::vector<ChildFrame>(6), std::nullopt);
            for (const ComponentUse& use : record.components) {
                if (componentKey(use.component) != key) continue;
                for (const Parameter& p : use.parameters) {
                    if (p.rule->pattern.marker == marker) return p.value;
                }
            }
            return "not read";
        };
        for (const JsonNode& parameter : component.find("parameters")->items) {
            const std::string marker = parameter.find("marker")->text;
            const std::string number = parameter.find("sign")->boolean ? "-7" : "7";
            const std::string name = key + (marker[0] == '_' ? "" : "_") + marker + number;
            EXPECT_EQ(readBack(name, marker), number) << name;
            EXPECT_EQ(readBack(key, marker), parameter.find("default")->text) << key;
        }
        EXPECT_EQ(readFrame(key, std::vector<ChildFrame>(6), std::nullopt).components.size(), 1u)
            << key;
    }
}

// A tool offers the listed range: its ends draw no warning from check, and 0 or a value past
// either end draws one. The other parameters of the name stay at their highest.
TEST(CatalogueDocument, RangesAreWhatCheckAcceptsWithoutAWarning) {
    const JsonNode document = parseJson(catalogueDocument());
    for (const JsonNode& component : document.find("components")->items) {
        const std::vector<JsonNode>& parameters = component.find("parameters")->items;
        auto highest = [](const JsonNode& parameter) {
            return std::stoll(parameter.find("range")->items[1].text);
        };
        for (const JsonNode& tried : parameters) {
            const long long low = std::stoll(tried.find("range")->items[0].text);
            const long long high = highest(tried);
            for (const long long value : {low, high, low - 1, 0LL, high + 1, -high}) {
                std::string name = component.find("key")->text;
                for (const JsonNode& parameter : parameters) {
                    const std::string marker = parameter.find("marker")->text;
                    name += (marker[0] == '_' ? "" : "_") + marker +
                            std::to_string(&parameter == &tried ? value : highest(parameter));
                }
                const bool accepted = low <= value && value <= high && value != 0;
                const auto warnings =
                    frameWarnings(readFrame(name, std::vector<ChildFrame>(6), std::nullopt));
                EXPECT_EQ(warnings.empty(), accepted) << name;
            }
        }
    }
}

// What the add-on reads instead of keeping its own copy: the kinds --vehicle takes, the render
// flag in a trace's flag bytes, and the built-in rides' ticks per second.
TEST(CatalogueDocument, PublishesTheVehicleKindsAndTheRidesFacts) {
    EXPECT_THAT(catalogueDocument(),
                HasSubstr(R"("vehicles":[{"name":"motorbike","class":9,"gears":6},)"
                          R"({"name":"bicycle","class":10,"gears":0},)"
                          R"({"name":"car","class":0,"gears":5}],"renderFlag":4,)"
                          R"("ticksPerSecond":50})"));
}

}  // namespace
}  // namespace sim::check
