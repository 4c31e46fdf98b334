// The plots' geometry: a known series gives known points. Ticks 0 to 10 span x 104 to 886, the
// value axis spans y 144 (its lowest value) up to 12 (its highest, with room above).
#include "sim/report/svg_plots.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace sim::report {
namespace {

using ::testing::HasSubstr;

std::string pathOf(const std::string& svg) {
    const std::size_t start = svg.find(" d='") + 4;
    return svg.substr(start, svg.find('\'', start) - start);
}

TEST(SvgPlots, LinesPassThroughTheirSamples) {
    const struct {
        const char* kind;
        Samples samples;
        bool stepped;
        const char* path;
    } cases[] = {
        // 0 to 10, with 6% room above: 10 lies at 12 + 0.6 / 10.6 * 132.
        {"rising", {{0, 0}, {10, 10}}, false, "M104.0 144.0L886.0 19.5"},
        // A flat run keeps only its ends; a step holds the value until the next sample.
        {"stepped",
         {{0, 0}, {2, 0}, {4, 0}, {6, 10}},
         true,
         "M104.0 144.0L416.8 144.0L573.2 144.0L573.2 19.5"},
        // The axis spans at least 0 to 1; values below 0 get room below as well: -10 to 1 with
        // 6% room each way spans -10.66 to 1.66.
        {"negative", {{0, 0}, {5, -10}}, false, "M104.0 29.8L495.0 136.9"},
    };
    for (const auto& c : cases) {
        const std::string svg = lineChart({{&c.samples, "#fff", c.stepped}}, 0, 10, "", 5);
        EXPECT_EQ(pathOf(svg), c.path) << c.kind;
    }
}

// One lane a row; a bar from each sample that shows the row to the next sample.
TEST(SvgPlots, BandsSpanTheTicksTheirRowIsShown) {
    const Samples shown{{0, 0}, {5, 1}, {10, -1}};
    const std::string svg = bandChart({"N", "1"}, shown, 0, 10, "#f00");
    EXPECT_THAT(svg, HasSubstr("viewBox='0 0 900.0 82.0'"));
    EXPECT_THAT(svg, HasSubstr("<rect fill='#f00' x='104.0' y='15.0' width='391.0' height='16.0'"));
    EXPECT_THAT(svg, HasSubstr("<rect fill='#f00' x='495.0' y='37.0' width='391.0' height='16.0'"));
}

}  // namespace
}  // namespace sim::report
