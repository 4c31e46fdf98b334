#pragma once
// Plots over time as inline SVG: lines of values, and bands that show which row of a flip-book is
// shown when.

#include <string>
#include <vector>

#include "sim/report/ride_model.h"

namespace sim::report {

struct PlotLine {
    const Samples* samples;
    std::string colour;    // a CSS colour
    bool stepped = false;  // holds each value until the next sample
};

// Ticks x0 to x1 across; the value axis spans at least minimumSpan and is labelled with unit.
std::string lineChart(const std::vector<PlotLine>& lines, double x0, double x1,
                      const std::string& unit, double minimumSpan);

// One lane per row label; a bar where that row is the one the samples say is shown.
std::string bandChart(const std::vector<std::string>& rowLabels, const Samples& shownRow, double x0,
                      double x1, const std::string& colour);

}  // namespace sim::report
