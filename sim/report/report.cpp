#include "sim/report/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

using nlohmann::json;

// ---------------------------------------------------------------------------------------------
// What the trace says happened, per vehicle.

enum class Part {
    chain,
    frontBrake,
    rearBrake,
    clutchLever,
    gearLever,
    gearMeter,
    odometer,
    speedometer,
    revCounter
};

struct PartInfo {
    Part part;
    const char* key;
    const char* title;
};
// In the order the library's pass hands a frame to its animators: a name with two keys belongs to
// the first.
constexpr PartInfo partInfos[] = {
    {Part::chain, "vx_chain", "Chain"},
    {Part::frontBrake, "vx_fbrake", "Front brake lever"},
    {Part::rearBrake, "vx_rbrake", "Rear brake lever"},
    {Part::clutchLever, "vx_cl", "Clutch lever"},
    {Part::gearLever, "vx_gl", "Gear lever"},
    {Part::gearMeter, "vx_gm", "Gear meter"},
    {Part::odometer, "vx_om", "Odometer"},
    {Part::speedometer, "vx_sm", "Speedometer needle"},
    {Part::revCounter, "vx_rpm", "Rev counter needle"},
};

bool isLever(Part p) {
    return p == Part::frontBrake || p == Part::rearBrake || p == Part::clutchLever ||
           p == Part::gearLever;
}
bool isNeedle(Part p) { return p == Part::speedometer || p == Part::revCounter; }
bool isFlipBook(Part p) { return p == Part::chain || p == Part::gearMeter; }

struct Frame {
    std::string name;
    int parent = -1;
    std::vector<int> children;
    int firstObject = 0;
    int objects = 0;
};

using Samples = std::vector<std::pair<double, double>>;  // (tick, value)

struct Component {
    const PartInfo* info;
    int frame;
    std::vector<int> rows;  // flip-book pages or odometer wheels
    Samples values;         // angle, shown page (-1 none) or odometer reading, after each render
    int steps = 0;          // changes of the shown page, or of the reading
};

struct Track {
    const SceneVehicle* vehicle = nullptr;
    std::vector<Frame> frames;
    std::vector<std::uint8_t> flags;
    std::vector<double> angle;  // accumulated rotation per frame
    std::vector<Component> components;
    std::uint32_t created = 0, destroyed = 0, renders = 0, slot = 0;
    std::map<std::string, int> sites;
};

void addFrames(const hostsim::FrameShape& shape, int parent, Track& track) {
    const int index = static_cast<int>(track.frames.size());
    Frame frame;
    frame.name = shape.name;
    frame.parent = parent;
    frame.firstObject = static_cast<int>(track.flags.size());
    frame.objects = shape.objects;
    track.frames.push_back(frame);
    if (parent >= 0) track.frames[static_cast<std::size_t>(parent)].children.push_back(index);
    for (int i = 0; i < shape.objects; ++i)
        track.flags.push_back(shape.hidden ? hostsim::hiddenObjectFlags
                                           : hostsim::shownObjectFlags);
    for (const hostsim::FrameShape& child : shape.children) addFrames(child, index, track);
}

void findComponents(Track& track) {
    for (std::size_t f = 0; f < track.frames.size(); ++f) {
        const std::string& name = track.frames[f].name;
        if (name.rfind("vx_", 0) != 0) continue;
        for (const PartInfo& info : partInfos) {
            if (name.find(info.key) == std::string::npos) continue;
            Component c{&info, static_cast<int>(f), {}, {}, 0};
            if (isFlipBook(info.part) || info.part == Part::odometer)
                c.rows = track.frames[f].children;
            if (info.part == Part::odometer && c.rows.size() > 6) c.rows.resize(6);
            track.components.push_back(c);
            break;
        }
    }
}

bool shown(const Track& track, int frame) {
    const Frame& f = track.frames[static_cast<std::size_t>(frame)];
    for (int i = 0; i < f.objects; ++i) {
        if (track.flags[static_cast<std::size_t>(f.firstObject + i)] & hostsim::renderFlag)
            return true;
    }
    return false;
}

double odometerReading(const Track& track, const Component& c) {
    double reading = 0;
    for (int wheel : c.rows) {
        const long steps = std::lround(track.angle[static_cast<std::size_t>(wheel)] / 36.0);
        reading = reading * 10 + static_cast<double>((steps % 10 + 10) % 10);
    }
    return reading;
}

double stateOf(const Track& track, const Component& c) {
    if (isFlipBook(c.info->part)) {
        int page = -1;
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            if (shown(track, c.rows[i])) {
                if (page >= 0) return -2;  // more than one page shown
                page = static_cast<int>(i);
            }
        }
        return page;
    }
    if (c.info->part == Part::odometer) return odometerReading(track, c);
    return track.angle[static_cast<std::size_t>(c.frame)];
}

void sample(Track& track, double tick) {
    for (Component& c : track.components) {
        const double value = stateOf(track, c);
        if (!c.values.empty() && (isFlipBook(c.info->part) || c.info->part == Part::odometer) &&
            c.values.back().second != value) {
            ++c.steps;
        }
        c.values.emplace_back(tick, value);
    }
}

struct TraceSummary {
    std::int32_t version = 0;
    std::vector<std::uint32_t> patchedSites;
    bool ended = false, restored = false;
    std::vector<std::string> log;
};

std::vector<Track> readTrace(const Scene& scene, const std::string& text, TraceSummary& summary) {
    std::vector<Track> tracks(scene.vehicles.size());
    std::map<std::string, std::size_t> byName;
    for (std::size_t i = 0; i < scene.vehicles.size(); ++i) byName[scene.vehicles[i].name] = i;
    auto trackOf = [&](const json& line) -> Track& {
        const auto found = byName.find(line.at("vehicle").get<std::string>());
        if (found == byName.end())
            throw std::runtime_error("the trace names a vehicle the scene does not have");
        return tracks[found->second];
    };

    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        const json line = json::parse(raw);
        const std::string type = line.at("type").get<std::string>();
        if (type == "start") {
            summary.version = line.at("version").get<std::int32_t>();
            summary.patchedSites = line.at("patchedSites").get<std::vector<std::uint32_t>>();
        } else if (type == "create") {
            Track& track = trackOf(line);
            track = Track{};
            track.vehicle = &scene.vehicles[byName[line.at("vehicle").get<std::string>()]];
            addFrames(track.vehicle->model, -1, track);
            track.angle.assign(track.frames.size(), 0.0);
            findComponents(track);
            track.created = line.at("tick").get<std::uint32_t>();
            track.slot = line.at("slot").get<std::uint32_t>();
            sample(track, track.created);
        } else if (type == "render") {
            Track& track = trackOf(line);
            for (const json& r : line.at("rotations")) {
                const int frame = r.at(0).get<int>();
                if (frame < 0 || static_cast<std::size_t>(frame) >= track.frames.size() ||
                    !r.at(2).is_number())
                    continue;
                track.angle[static_cast<std::size_t>(frame)] += r.at(2).get<double>();
            }
            for (const json& f : line.at("flags")) {
                const int frame = f.at(0).get<int>(), object = f.at(1).get<int>();
                if (frame < 0 || static_cast<std::size_t>(frame) >= track.frames.size()) continue;
                const Frame& info = track.frames[static_cast<std::size_t>(frame)];
                if (object >= 0 && object < info.objects) {
                    track.flags[static_cast<std::size_t>(info.firstObject + object)] =
                        f.at(2).get<std::uint8_t>();
                }
            }
            ++track.renders;
            ++track.sites[line.at("site").get<std::string>()];
            sample(track, line.at("tick").get<double>() + 1);
        } else if (type == "destroy") {
            trackOf(line).destroyed = line.at("tick").get<std::uint32_t>();
        } else if (type == "end") {
            summary.ended = true;
            summary.restored = line.at("restored").get<bool>();
            summary.log = line.at("log").get<std::vector<std::string>>();
        }
    }
    return tracks;
}

// ---------------------------------------------------------------------------------------------
// The scene's own inputs, per tick: speed as the library estimates it, and gear.

struct Inputs {
    Samples speed, gear;
};

Inputs inputsOf(const Scene& scene, std::size_t index) {
    const SceneVehicle& v = scene.vehicles[index];
    hostsim::SimVehicle state{};
    Inputs inputs;
    std::size_t next = 0;
    for (std::uint32_t tick = 0; tick < scene.ticks; ++tick) {
        for (; next < scene.timeline.size() && scene.timeline[next].tick == tick; ++next) {
            const TimelineEntry& e = scene.timeline[next];
            if (e.vehicle != static_cast<int>(index)) continue;
            const VehicleFields& f = e.fields;
            if (f.moveSpeed) std::copy(f.moveSpeed->begin(), f.moveSpeed->end(), state.moveSpeed);
            if (f.wheelSpeed)
                std::copy(f.wheelSpeed->begin(), f.wheelSpeed->end(), state.wheelSpeed);
            if (f.bikeWheelSpeed)
                std::copy(f.bikeWheelSpeed->begin(), f.bikeWheelSpeed->end(), state.bikeWheelSpeed);
            if (f.currentGear) state.currentGear = *f.currentGear;
        }
        if (!v.aliveAt(tick)) continue;
        const float a = v.wheelScales[0], b = v.wheelScales[1];
        double kmh;
        if (v.vehicleClass == 9 || v.vehicleClass == 10) {
            kmh =
                (state.bikeWheelSpeed[1] * b + state.bikeWheelSpeed[0] * a) * 0.5f / 2.45f * -186.0;
        } else if (v.vehicleClass >= 0 && v.vehicleClass <= 2) {
            kmh = ((state.wheelSpeed[3] * b + state.wheelSpeed[2]) +
                   (state.wheelSpeed[1] * a + state.wheelSpeed[0])) *
                  0.25f / 2.45f * -186.0;
        } else {
            const float* m = state.moveSpeed;
            kmh = std::sqrt((m[0] * m[0] + m[1] * m[1]) + m[2] * m[2]) * 50.0 * 3.6f;
        }
        inputs.speed.emplace_back(tick, kmh);
        inputs.gear.emplace_back(tick, state.currentGear);
    }
    return inputs;
}

// ---------------------------------------------------------------------------------------------
// Text.

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string degrees(double value) {
    return format("%.1f", std::fabs(value) < 0.05 ? 0.0 : value) + "\u00B0";
}

std::string readingText(double reading) {
    return reading < 0 ? "------" : format("%06.0f", reading);
}

std::string pageName(const Track& track, const Component& c, double page) {
    if (page < 0) return page == -1 ? "none" : "several";
    const std::string& name =
        track.frames[static_cast<std::size_t>(c.rows[static_cast<std::size_t>(page)])].name;
    if (c.info->part == Part::gearMeter)
        return page == 0 ? "N" : std::to_string(static_cast<int>(page));
    return name;
}

std::pair<double, double> range(const Samples& samples) {
    double low = 0, high = 0;
    for (const auto& [tick, value] : samples) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    return {low, high};
}

std::string describe(const Track& track, const Component& c) {
    const Part p = c.info->part;
    if (isLever(p)) {
        const auto [low, high] = range(c.values);
        int strokes = 0;
        for (std::size_t i = 1; i < c.values.size(); ++i)
            strokes += c.values[i - 1].second == 0 && c.values[i].second != 0;
        const std::string travel = low < 0 && high > 0
                                       ? "swung between " + degrees(low) + " and " + degrees(high)
                                       : "reached " + degrees(low < 0 ? low : high);
        return travel + ", " + std::to_string(strokes) + (strokes == 1 ? " stroke" : " strokes");
    }
    if (isNeedle(p)) {
        const auto [low, high] = range(c.values);
        return "max " + degrees(high) + ", min " + degrees(low) + ", at the end " +
               degrees(c.values.back().second);
    }
    if (p == Part::chain) {
        return std::to_string(c.steps) + " steps over " + std::to_string(c.rows.size()) +
               " link sets";
    }
    if (p == Part::gearMeter) {
        std::string shownPages;
        double last = -3;
        for (const auto& [tick, page] : c.values) {
            if (page == last) continue;
            last = page;
            if (page == -1 && shownPages.empty()) continue;  // nothing shown yet
            shownPages += (shownPages.empty() ? "" : " ") + pageName(track, c, page);
        }
        return "showed " + (shownPages.empty() ? std::string("nothing") : shownPages);
    }
    if (p == Part::odometer) {
        double start = -1;
        for (const auto& [tick, reading] : c.values) {
            if (reading != 0) {
                start = reading;
                break;
            }
        }
        return start < 0 ? "did not turn"
                         : readingText(start) + " at its first turn, " +
                               readingText(c.values.back().second) + " at the end (" +
                               std::to_string(c.steps) + " changes)";
    }
    return "";
}

// ---------------------------------------------------------------------------------------------
// SVG plots.

const char* const palette[] = {"#4cc9f0", "#f72585", "#ffd166", "#06d6a0", "#b392f0", "#ff8c42"};

struct Plot {
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1;
    static constexpr double width = 900, height = 170, left = 104, right = 14, top = 12,
                            bottom = 26;
    double x(double tick) const { return left + (tick - x0) / (x1 - x0) * (width - left - right); }
    double y(double value) const {
        return top + (y1 - value) / (y1 - y0) * (height - top - bottom);
    }
};

std::string num(double v) { return format("%.1f", v); }

double niceStep(double span, int wanted) {
    const double raw = span / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (raw <= m * magnitude) return m * magnitude;
    }
    return 10 * magnitude;
}

std::string axes(const Plot& p, const std::string& unit, bool valueGrid = true) {
    std::string svg;
    if (valueGrid) {
        const double step = niceStep(p.y1 - p.y0, 4);
        for (double v = std::ceil(p.y0 / step) * step; v <= p.y1 + 1e-9; v += step) {
            svg += "<line class='grid' x1='" + num(Plot::left) + "' x2='" +
                   num(Plot::width - Plot::right) + "' y1='" + num(p.y(v)) + "' y2='" +
                   num(p.y(v)) + "'/>";
            svg += "<text class='label' x='" + num(Plot::left - 6) + "' y='" + num(p.y(v) + 4) +
                   "' text-anchor='end'>" + format("%g", std::fabs(v) < 1e-9 ? 0.0 : v) + unit +
                   "</text>";
        }
    }
    const double step = niceStep(p.x1 - p.x0, 10);
    for (double t = std::ceil(p.x0 / step) * step; t <= p.x1 + 1e-9; t += step) {
        svg += "<line class='tick' x1='" + num(p.x(t)) + "' x2='" + num(p.x(t)) + "' y1='" +
               num(Plot::height - Plot::bottom) + "' y2='" + num(Plot::height - Plot::bottom + 4) +
               "'/>";
        svg += "<text class='label' x='" + num(p.x(t)) + "' y='" + num(Plot::height - 8) +
               "' text-anchor='middle'>" + format("%g", t) + "</text>";
    }
    svg += "<line class='axis' x1='" + num(Plot::left) + "' x2='" + num(Plot::width - Plot::right) +
           "' y1='" + num(Plot::height - Plot::bottom) + "' y2='" +
           num(Plot::height - Plot::bottom) + "'/>";
    return svg;
}

std::string openSvg() {
    return "<svg viewBox='0 0 " + num(Plot::width) + " " + num(Plot::height) +
           "' preserveAspectRatio='none'>";
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

struct Line {
    const Samples* samples;
    std::string colour;
    bool stepped = false;
};

std::string lineChart(const std::vector<Line>& lines, double x0, double x1, const std::string& unit,
                      double minimumSpan = 1.0, const std::string& extra = "") {
    Plot p;
    p.x0 = x0;
    p.x1 = x1;
    for (const Line& line : lines) {
        const auto [low, high] = range(*line.samples);
        p.y0 = std::min(p.y0, low);
        p.y1 = std::max(p.y1, high);
    }
    if (p.y1 - p.y0 < minimumSpan) p.y1 = p.y0 + minimumSpan;
    const double pad = (p.y1 - p.y0) * 0.06;
    p.y0 -= p.y0 < 0 ? pad : 0;
    p.y1 += pad;
    std::string svg = openSvg() + axes(p, unit);
    for (const Line& line : lines) {
        svg += "<path class='line' stroke='" + line.colour + "' d='" +
               path(p, *line.samples, line.stepped) + "'/>";
    }
    return svg + extra + "</svg>";
}

std::string escape(const std::string& text);

// One row per page; a bar where that page is the one shown.
std::string bandChart(const Track& track, const Component& c, double x0, double x1,
                      const char* colour) {
    Plot p;
    p.x0 = x0;
    p.x1 = x1;
    const double rows = static_cast<double>(std::max<std::size_t>(c.rows.size(), 1));
    const double rowHeight = std::min(22.0, (Plot::height - Plot::top - Plot::bottom) / rows);
    std::string svg = "<svg viewBox='0 0 " + num(Plot::width) + " " +
                      num(Plot::top + rowHeight * rows + Plot::bottom) +
                      "' preserveAspectRatio='none'>";
    Plot axisPlot = p;
    std::string axis = axes(axisPlot, "", false);
    // Move the time axis to the bottom of the rows.
    const double shift = Plot::top + rowHeight * rows + Plot::bottom - Plot::height;
    svg += "<g transform='translate(0 " + num(shift) + ")'>" + axis + "</g>";
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
        const double y = Plot::top + rowHeight * static_cast<double>(r);
        svg += "<rect class='lane' x='" + num(Plot::left) + "' y='" + num(y + 2) + "' width='" +
               num(Plot::width - Plot::left - Plot::right) + "' height='" + num(rowHeight - 4) +
               "'/>";
        const std::string label = escape(pageName(track, c, static_cast<double>(r)));
        svg += "<text class='label' x='" + num(Plot::left - 6) + "' y='" +
               num(y + rowHeight / 2 + 4) + "' text-anchor='end'>" + label + "</text>";
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            if (c.values[i].second != static_cast<double>(r)) continue;
            const double start = c.values[i].first;
            std::size_t j = i;
            while (j + 1 < c.values.size() && c.values[j + 1].second == static_cast<double>(r)) ++j;
            const double end =
                j + 1 < c.values.size() ? c.values[j + 1].first : c.values[j].first + 1;
            svg += std::string("<rect fill='") + colour + "' x='" + num(p.x(start)) + "' y='" +
                   num(y + 3) + "' width='" + num(std::max(0.8, p.x(end) - p.x(start))) +
                   "' height='" + num(rowHeight - 6) + "' rx='1.5'/>";
            i = j;
        }
    }
    return svg + "</svg>";
}

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string odometerDigits(double reading) {
    std::string html = "<div class='odo'>";
    for (char digit : readingText(reading)) html += std::string("<span>") + digit + "</span>";
    return html + "</div>";
}

const char* const style = R"css(
:root { --bg:#0f1420; --card:#171e2e; --ink:#e6ebf5; --muted:#8b96ad; --grid:#26304a; --accent:#4cc9f0; }
* { box-sizing: border-box; }
body { margin:0; background:var(--bg); color:var(--ink); font:15px/1.45 system-ui,-apple-system,"Segoe UI",sans-serif; }
header { padding:28px 40px 18px; background:linear-gradient(120deg,#1b2540,#111729 60%); border-bottom:1px solid var(--grid); }
header h1 { margin:0 0 6px; font-size:26px; letter-spacing:.3px; }
header p { margin:2px 0; color:var(--muted); }
.pill { display:inline-block; padding:1px 9px; margin:2px 4px 2px 0; border-radius:999px; background:#22304f; color:var(--ink); font-size:13px; }
.ok { background:#0f5132; } .bad { background:#842029; }
main { padding:10px 40px 40px; max-width:1100px; }
section.vehicle { margin-top:28px; }
section.vehicle > h2 { font-size:21px; margin:0 0 4px; }
section.vehicle > p { margin:0 0 12px; color:var(--muted); }
.card { background:var(--card); border:1px solid var(--grid); border-radius:10px; padding:14px 18px 10px; margin:12px 0; }
.card h3 { margin:0; font-size:16px; display:flex; gap:10px; align-items:baseline; flex-wrap:wrap; }
.card h3 code { color:var(--accent); font-size:13px; font-weight:normal; }
.card .what { color:var(--muted); font-size:13.5px; margin:2px 0 6px; }
svg { width:100%; height:auto; display:block; }
svg .grid { stroke:var(--grid); stroke-width:1; }
svg .axis { stroke:#3a4668; stroke-width:1; }
svg .tick { stroke:#3a4668; }
svg .label { fill:var(--muted); font-size:11px; font-family:ui-monospace,Menlo,Consolas,monospace; }
svg .line { fill:none; stroke-width:1.7; stroke-linejoin:round; }
svg .lane { fill:#1d2538; }
.legend span { display:inline-block; margin-right:14px; font-size:12.5px; color:var(--muted); }
.legend i { display:inline-block; width:14px; height:3px; margin-right:5px; vertical-align:middle; border-radius:2px; }
.odo { display:inline-flex; gap:3px; margin:6px 0 10px; }
.odo span { display:inline-block; width:26px; padding:4px 0; text-align:center; font:600 20px ui-monospace,Menlo,Consolas,monospace;
  background:linear-gradient(#f4f4f4,#cfd3da 50%,#f4f4f4); color:#111; border-radius:3px; box-shadow:inset 0 0 4px rgba(0,0,0,.45); }
.odo span:last-child { background:linear-gradient(#fff3f3,#e8c9c9 50%,#fff3f3); }
table.overview { border-collapse:collapse; width:100%; margin:6px 0 4px; font-size:13.5px; }
table.overview th { text-align:left; color:var(--muted); font-weight:600; border-bottom:1px solid var(--grid); padding:4px 10px 4px 0; }
table.overview td { border-bottom:1px solid #1e2740; padding:4px 10px 4px 0; }
table.overview code { color:var(--accent); }
footer { color:var(--muted); font-size:12.5px; padding:0 40px 30px; }
)css";

std::string hex(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(value));
    return buffer;
}

}  // namespace

Report buildReport(const Scene& scene, const std::string& traceText) {
    TraceSummary trace;
    std::vector<Track> tracks;
    try {
        tracks = readTrace(scene, traceText, trace);
    } catch (const json::exception& error) {
        throw std::runtime_error(std::string("cannot read the trace: ") + error.what());
    }

    std::string sites;
    for (std::uint32_t site : trace.patchedSites) sites += (sites.empty() ? "" : " ") + hex(site);
    std::string log;
    for (const std::string& line : trace.log) log += (log.empty() ? "\"" : ", \"") + line + "\"";

    std::ostringstream text;
    text << "Ride of " << scene.ticks << " ticks in host build " << trace.version
         << "; sites patched: " << (sites.empty() ? "none" : sites)
         << "; restored after unload: " << (trace.restored ? "yes" : "NO")
         << "; log: " << (log.empty() ? "(empty)" : log) << "\n";

    std::string body;
    std::vector<VehicleReport> vehicles;
    const double x0 = 0, x1 = scene.ticks;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const Track& track = tracks[i];
        const SceneVehicle& v = scene.vehicles[i];
        if (track.vehicle == nullptr) continue;
        std::string siteText;
        for (const auto& [site, count] : track.sites) {
            siteText += (siteText.empty() ? "" : ", ") + std::to_string(count) + " through the " +
                        site + " site";
        }
        const std::string life =
            "class " + std::to_string(v.vehicleClass) + ", slot " + std::to_string(track.slot) +
            ", ticks " + std::to_string(track.created) + " to " + std::to_string(track.destroyed) +
            ", " + std::to_string(track.renders) + " renders" +
            (siteText.empty() ? "" : " (" + siteText + ")");
        text << "\n" << v.name << " (" << life << ")\n";
        const std::size_t sectionStart = body.size();
        body +=
            "<section class='vehicle'><h2>" + escape(v.name) + "</h2><p>" + escape(life) + "</p>";

        const Inputs inputs = inputsOf(scene, i);
        body +=
            "<div class='card'><h3>Ride <code>speed estimate and gear from the scene</code></h3>"
            "<div class='legend'><span><i style='background:#4cc9f0'></i>km/h</span>"
            "<span><i style='background:#ffd166'></i>gear \u00D7 10</span></div>";
        Samples gearScaled = inputs.gear;
        for (auto& sample : gearScaled) sample.second *= 10;
        body += lineChart({{&inputs.speed, "#4cc9f0"}, {&gearScaled, "#ffd166", true}}, x0, x1, "",
                          10) +
                "</div>";

        if (track.components.empty()) {
            text << "  no components\n";
            body += "<p>No frame of this model names a component.</p>";
        }
        if (!track.components.empty()) {
            body +=
                "<table class='overview'><tr><th>Component</th><th>Frame</th><th>What it "
                "did</th></tr>";
            for (const Component& c : track.components) {
                body += "<tr><td>" + std::string(c.info->title) + "</td><td><code>" +
                        escape(track.frames[static_cast<std::size_t>(c.frame)].name) +
                        "</code></td><td>" + escape(describe(track, c)) + "</td></tr>";
            }
            body += "</table>";
        }
        int colour = 0;
        for (const Component& c : track.components) {
            const std::string& frameName = track.frames[static_cast<std::size_t>(c.frame)].name;
            const std::string what = describe(track, c);
            char head[160];
            std::snprintf(head, sizeof head, "  %-20s %-18s ", c.info->title, frameName.c_str());
            text << head << what << "\n";
            body += "<div class='card'><h3>" + std::string(c.info->title) + " <code>" +
                    escape(frameName) + "</code></h3><div class='what'>" + escape(what) + "</div>";
            const char* ink = palette[colour++ % std::size(palette)];
            if (isLever(c.info->part) || isNeedle(c.info->part)) {
                body += lineChart({{&c.values, ink, isLever(c.info->part)}}, x0, x1, "\u00B0", 5);
            } else if (isFlipBook(c.info->part)) {
                body += bandChart(track, c, x0, x1, ink);
            } else if (c.info->part == Part::odometer) {
                body += odometerDigits(c.values.back().second);
                // The wheels start at 000000 and jump to the vehicle's start reading on their first
                // turn; the plot shows the distance counted from there.
                Samples relative;
                for (const auto& sample : c.values) {
                    if (sample.second != 0 || !relative.empty()) relative.push_back(sample);
                }
                const double base = relative.empty() ? 0 : relative.front().second;
                for (auto& sample : relative) sample.second -= base;
                body += "<div class='what'>reading above its first value (" + readingText(base) +
                        ")</div>";
                body += lineChart({{&relative, ink, true}}, x0, x1, "", 5);
            }
            body += "</div>";
        }
        body += "</section>";

        VehicleReport vehicle{v.name, body.substr(sectionStart), {}};
        for (const Component& c : track.components) {
            const Part p = c.info->part;
            const char* unit = p == Part::chain       ? "link"
                               : p == Part::gearMeter ? "gear"
                               : p == Part::odometer  ? "reading"
                                                      : "degrees";
            ComponentSeries series{c.info->title, c.info->key, c.frame, unit, {}};
            // The first sample is the state at creation, before any render.
            for (std::size_t k = 1; k < c.values.size(); ++k) {
                series.values.push_back(c.values[k].second);
            }
            vehicle.components.push_back(std::move(series));
        }
        vehicles.push_back(std::move(vehicle));
    }

    std::string html =
        "<!DOCTYPE html><html lang='en'><head><meta charset='utf-8'><title>Vorlix demo "
        "ride</title><style>";
    html += style;
    html += "</style></head><body><header><h1>Vorlix demo ride</h1><p>" +
            std::to_string(scene.vehicles.size()) + " vehicles, " + std::to_string(scene.ticks) +
            " ticks. Every curve is accumulated from the rotations and "
            "object flags that the library asked of the substitute host, as the trace lists "
            "them.</p><p>"
            "<span class='pill'>host build " +
            std::to_string(trace.version) + "</span><span class='pill'>sites patched: " +
            (sites.empty() ? std::string("none") : sites) + "</span><span class='pill " +
            (trace.restored ? "ok'>sites restored after unload"
                            : "bad'>sites NOT restored after unload") +
            "</span><span class='pill'>log: " + escape(log.empty() ? "(empty)" : log) +
            "</span></p></header><main>" + body +
            "</main><footer>Time axis in ticks. Angles in degrees. Generated by vorlix-sim "
            "demo.</footer></body></html>\n";
    return Report{text.str(), html, std::move(vehicles)};
}

}  // namespace sim
