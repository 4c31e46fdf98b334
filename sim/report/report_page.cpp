#include <iterator>

#include "sim/report/markup.h"
#include "sim/report/report.h"
#include "sim/report/report_style.h"
#include "sim/report/ride_metrics.h"
#include "sim/report/svg_plots.h"

namespace sim::report {

namespace {

const char* const palette[] = {"#4cc9f0", "#f72585", "#ffd166", "#06d6a0", "#b392f0", "#ff8c42"};

// The wheels the model has, leftmost first; the last of six is the red one.
std::string odometerDigits(const RideComponent& component) {
    const std::size_t wheels = component.rows.size();
    std::string html = "<div class='odo'>";
    std::size_t wheel = 0;
    for (char digit : readingText(component.values.back().second, wheels)) {
        html += std::string(++wheel == odometerWheelCount ? "<span class='last'>" : "<span>") +
                digit + "</span>";
    }
    return html + "</div>";
}

// Which child fills each slot, after `before`; nothing for a component without child slots.
std::string slotsMarkup(const RideVehicle& vehicle, const RideComponent& component,
                        const char* before) {
    const std::string slots = slotsText(vehicle, component);
    return slots.empty() ? "" : before + escapeMarkup(slots);
}

std::string rideCard(const RideVehicle& vehicle, double x0, double x1) {
    Samples gearScaled = vehicle.gear;
    for (auto& sample : gearScaled) sample.second *= 10;
    return "<div class='card'><h3>Ride <code>speed estimate and gear, as the library saw "
           "them</code></h3>"
           "<div class='legend'><span><i style='background:#4cc9f0'></i>km/h</span>"
           "<span><i style='background:#ffd166'></i>gear \u00D7 10</span></div>" +
           lineChart({{&vehicle.speed, "#4cc9f0"}, {&gearScaled, "#ffd166", true}}, x0, x1, "",
                     10) +
           "</div>";
}

std::string componentPlot(const RideVehicle& vehicle, const RideComponent& component, double x0,
                          double x1, const std::string& ink) {
    switch (component.entry->motion) {
        case Motion::lever:
        case Motion::needle:
            return lineChart({{&component.values, ink, component.entry->motion == Motion::lever}},
                             x0, x1, "\u00B0", 5);
        case Motion::flipBook: {
            std::vector<std::string> labels;
            for (std::size_t row = 0; row < component.rows.size(); ++row) {
                labels.push_back(rowName(vehicle, component, static_cast<double>(row)));
            }
            return bandChart(labels, component.values, x0, x1, ink);
        }
        case Motion::counter: {
            // The wheels start at 000000 and jump to the vehicle's start reading on their first
            // turn; the plot shows the distance counted from there.
            Samples relative;
            for (const auto& sample : component.values) {
                if (sample.second != 0 || !relative.empty()) relative.push_back(sample);
            }
            const double base = relative.empty() ? 0 : relative.front().second;
            for (auto& sample : relative) sample.second -= base;
            return odometerDigits(component) + "<div class='what'>reading above its first value (" +
                   readingText(base, component.rows.size()) + ")</div>" +
                   lineChart({{&relative, ink, true}}, x0, x1, "", 5);
        }
    }
    return "";
}

}  // namespace

std::string vehicleSection(const Ride& ride, const RideVehicle& vehicle) {
    const double x0 = 0, x1 = ride.ticks;
    std::string html = "<section class='vehicle'><h2>" + escapeMarkup(vehicle.name) + "</h2><p>" +
                       escapeMarkup(lifeOf(vehicle)) + "</p>" + rideCard(vehicle, x0, x1);
    if (vehicle.components.empty()) {
        html += "<p>No frame of this model names a component.</p>";
    } else {
        html +=
            "<table class='overview'><tr><th>Component</th><th>Frame</th><th>What it did</th></tr>";
        for (const RideComponent& component : vehicle.components) {
            html += "<tr><td>" + escapeMarkup(heading(component)) + "</td><td><code>" +
                    escapeMarkup(vehicle.frames[static_cast<std::size_t>(component.frame)].name) +
                    "</code></td><td>" + escapeMarkup(whatItDid(vehicle, component)) +
                    slotsMarkup(vehicle, component, "<br>") + "</td></tr>";
        }
        html += "</table>";
    }
    std::size_t colour = 0;
    for (const RideComponent& component : vehicle.components) {
        html += "<div class='card'><h3>" + escapeMarkup(heading(component)) + " <code>" +
                escapeMarkup(vehicle.frames[static_cast<std::size_t>(component.frame)].name) +
                "</code></h3><div class='what'>" + escapeMarkup(whatItDid(vehicle, component)) +
                slotsMarkup(vehicle, component, "</div><div class='what'>") + "</div>" +
                componentPlot(vehicle, component, x0, x1, palette[colour++ % std::size(palette)]) +
                "</div>";
    }
    return html + "</section>";
}

std::string reportPage(const Ride& ride, const std::string& title) {
    const std::string shownTitle = escapeMarkup("Vorlix " + title);
    std::string html = "<!DOCTYPE html><html lang='en'><head><meta charset='utf-8'><title>" +
                       shownTitle + "</title><style>";
    html += reportStyle;
    html += "</style></head><body><header><h1>" + shownTitle + "</h1><p>" +
            std::to_string(ride.vehicles.size()) + " vehicles, " + std::to_string(ride.ticks) +
            " ticks. Every curve is accumulated from the rotations and object flags that the "
            "library asked of "
            "the substitute host, as the trace lists them.</p><p><span class='pill'>host build " +
            std::to_string(ride.version) +
            "</span><span class='pill'>sites patched: " + escapeMarkup(sitesText(ride)) +
            "</span><span class='pill " +
            (ride.restored ? "ok'>sites restored after unload"
                           : "bad'>sites NOT restored after unload") +
            "</span><span class='pill'>log: " + escapeMarkup(logText(ride)) +
            "</span></p></header><main>";
    for (const RideVehicle& vehicle : ride.vehicles) html += vehicleSection(ride, vehicle);
    return html +
           "</main><footer>Time axis in ticks. Angles in degrees. Generated by "
           "vorlix-sim.</footer></body>"
           "</html>\n";
}

}  // namespace sim::report
