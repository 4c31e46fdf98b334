#include "sim/report/svg_plots.h"

#include <algorithm>
#include <cmath>

#include "sim/report/markup.h"
#include "sim/report/ride_metrics.h"

namespace sim::report {

namespace {

struct Plot {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    static constexpr double width = 900, height = 170, left = 104, right = 14, top = 12,
                            bottom = 26;
    double x(double tick) const { return left + (tick - x0) / (x1 - x0) * (width - left - right); }
    double y(double value) const {
        return top + (y1 - value) / (y1 - y0) * (height - top - bottom);
    }
};

std::string num(double v) { return formatNumber("%.1f", v); }

double niceStep(double span, int wanted) {
    const double raw = span / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (raw <= m * magnitude) return m * magnitude;
    }
    return 10 * magnitude;
}

std::string axes(const Plot& p, const std::string& unit, bool valueGrid) {
    std::string svg;
    if (valueGrid) {
        const double step = niceStep(p.y1 - p.y0, 4);
        for (double v = std::ceil(p.y0 / step) * step; v <= p.y1 + 1e-9; v += step) {
            svg += "<line class='grid' x1='" + num(Plot::left) + "' x2='" +
                   num(Plot::width - Plot::right) + "' y1='" + num(p.y(v)) + "' y2='" +
                   num(p.y(v)) + "'/>";
            svg += "<text class='label' x='" + num(Plot::left - 6) + "' y='" + num(p.y(v) + 4) +
                   "' text-anchor='end'>" + formatNumber("%g", std::fabs(v) < 1e-9 ? 0.0 : v) +
                   escapeMarkup(unit) + "</text>";
        }
    }
    const double step = niceStep(p.x1 - p.x0, 10);
    for (double t = std::ceil(p.x0 / step) * step; t <= p.x1 + 1e-9; t += step) {
        svg += "<line class='tick' x1='" + num(p.x(t)) + "' x2='" + num(p.x(t)) + "' y1='" +
               num(Plot::height - Plot::bottom) + "' y2='" + num(Plot::height - Plot::bottom + 4) +
               "'/>";
        svg += "<text class='label' x='" + num(p.x(t)) + "' y='" + num(Plot::height - 8) +
               "' text-anchor='middle'>" + formatNumber("%g", t) + "</text>";
    }
    svg += "<line class='axis' x1='" + num(Plot::left) + "' x2='" + num(Plot::width - Plot::right) +
           "' y1='" + num(Plot::height - Plot::bottom) + "' y2='" +
           num(Plot::height - Plot::bottom) + "'/>";
    return svg;
}

// A polyline through the samples; runs of equal values keep only their ends.
std::string path(const Plot& p, const Samples& samples, bool stepped) {
    std::string d;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const bool flatBefore = i > 0 && samples[i - 1].second == samples[i].second;
        const bool flatAfter = i + 1 < samples.size() && samples[i + 1].second == samples[i].second;
        if (flatBefore && flatAfter) continue;
        if (stepped && i > 0 && !flatBefore) {
            d += "L" + num(p.x(samples[i].first)) + " " + num(p.y(samples[i - 1].second));
        }
        d += (d.empty() ? "M" : "L") + num(p.x(samples[i].first)) + " " +
             num(p.y(samples[i].second));
    }
    return d;
}

}  // namespace

std::string lineChart(const std::vector<PlotLine>& lines, double x0, double x1,
                      const std::string& unit, double minimumSpan) {
    Plot p;
    p.x0 = x0;
    p.x1 = x1;
    for (const PlotLine& line : lines) {
        const auto [low, high] = valueRange(*line.samples);
        p.y0 = std::min(p.y0, low);
        p.y1 = std::max(p.y1, high);
    }
    if (p.y1 - p.y0 < minimumSpan) p.y1 = p.y0 + minimumSpan;
    const double pad = (p.y1 - p.y0) * 0.06;
    p.y0 -= p.y0 < 0 ? pad : 0;
    p.y1 += pad;
    std::string svg = "<svg viewBox='0 0 " + num(Plot::width) + " " + num(Plot::height) +
                      "' preserveAspectRatio='none'>" + axes(p, unit, true);
    for (const PlotLine& line : lines) {
        svg += "<path class='line' stroke='" + escapeMarkup(line.colour) + "' d='" +
               path(p, *line.samples, line.stepped) + "'/>";
    }
    return svg + "</svg>";
}

std::string bandChart(const std::vector<std::string>& rowLabels, const Samples& shownRow, double x0,
                      double x1, const std::string& colour) {
    Plot p;
    p.x0 = x0;
    p.x1 = x1;
    const double rows = static_cast<double>(std::max<std::size_t>(rowLabels.size(), 1));
    const double rowHeight = std::min(22.0, (Plot::height - Plot::top - Plot::bottom) / rows);
    const double height = Plot::top + rowHeight * rows + Plot::bottom;
    std::string svg = "<svg viewBox='0 0 " + num(Plot::width) + " " + num(height) +
                      "' preserveAspectRatio='none'>";
    // The time axis goes below the lanes.
    svg += "<g transform='translate(0 " + num(height - Plot::height) + ")'>" + axes(p, "", false) +
           "</g>";
    for (std::size_t r = 0; r < rowLabels.size(); ++r) {
        const double y = Plot::top + rowHeight * static_cast<double>(r);
        svg += "<rect class='lane' x='" + num(Plot::left) + "' y='" + num(y + 2) + "' width='" +
               num(Plot::width - Plot::left - Plot::right) + "' height='" + num(rowHeight - 4) +
               "'/>";
        svg += "<text class='label' x='" + num(Plot::left - 6) + "' y='" +
               num(y + rowHeight / 2 + 4) + "' text-anchor='end'>" + escapeMarkup(rowLabels[r]) +
               "</text>";
        const auto row = static_cast<double>(r);
        for (std::size_t i = 0; i < shownRow.size(); ++i) {
            if (shownRow[i].second != row) continue;
            const double start = shownRow[i].first;
            std::size_t j = i;
            while (j + 1 < shownRow.size() && shownRow[j + 1].second == row) ++j;
            const double end =
                j + 1 < shownRow.size() ? shownRow[j + 1].first : shownRow[j].first + 1;
            svg += "<rect fill='" + escapeMarkup(colour) + "' x='" + num(p.x(start)) + "' y='" +
                   num(y + 3) + "' width='" + num(std::max(0.8, p.x(end) - p.x(start))) +
                   "' height='" + num(rowHeight - 6) + "' rx='1.5'/>";
            i = j;
        }
    }
    return svg + "</svg>";
}

}  // namespace sim::report
