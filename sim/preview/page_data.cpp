#include "sim/preview/page_data.h"

#include <span>

#include "host/host_interface.h"
#include "sim/formats/base64.h"
#include "sim/formats/json_writing.h"
#include "sim/formats/trace_writer.h"
#include "sim/report/ride_metrics.h"

namespace sim {

namespace {

// "degrees"; "link" or "gear": the index of the child shown (or noRowShown, severalRowsShown),
// named by the component's "rows", "none" and "several"; "reading", of the component's "wheels".
const char* unitOf(const ComponentEntry& entry) {
    switch (entry.children) {
        case ChildFrames::chainLinkSets:
            return "link";
        case ChildFrames::gearDisplays:
            return "gear";
        case ChildFrames::odometerWheels:
            return "reading";
        case ChildFrames::none:
            break;
    }
    return "degrees";
}

void appendAxes(std::string& out, const AxesMapping& axes) {
    const auto direction = [&out](const std::array<int, 3>& d) {
        appendList(out, d, [&out](int v) { out += std::to_string(v); });
    };
    out += "{\"name\":";
    appendJsonString(out, axes.name);
    out += ",\"description\":";
    appendJsonString(out, axes.description);
    out += ",\"x\":";
    direction(axes.x);
    out += ",\"y\":";
    direction(axes.y);
    out += ",\"z\":";
    direction(axes.z);
    out += '}';
}

// Angles as the trace writes them, non-finite ones as strings, so the page sees the same numbers.
void appendRender(std::string& out, const report::RideRender& render) {
    out += "{\"tick\":" + std::to_string(render.tick) + ",\"rotations\":";
    appendList(out, render.rotations, [&out](const TraceRotation& r) { appendRotation(out, r); });
    out += ",\"flags\":";
    appendList(out, render.flags,
               [&out](const hostsim::FlagChange& f) { appendFlagChange(out, f); });
    out += ",\"gear\":" + std::to_string(render.inputs.currentGear) + ",\"brakes\":[";
    const bool front = (render.inputs.vehicleFlags & host::frontBrakeFlag) != 0;
    const bool rear = render.inputs.rearBrakeInput != 0;  // true for a NaN
    out += front ? (rear ? "\"front\",\"rear\"" : "\"front\"") : (rear ? "\"rear\"" : "");
    out += "]}";
}

// Which child fills each slot, as check lists them: each line with the frames of the children it
// names, so that a child picked on the page finds its slot. A chain's one line names them all;
// a gear meter's or odometer's line i is its row i.
void appendSlots(std::string& out, const std::vector<std::string>& slots,
                 const report::RideComponent& component) {
    const bool chain = component.entry->children == ChildFrames::chainLinkSets;
    out += ",\"slots\":[";
    for (std::size_t i = 0; i < slots.size(); ++i) {
        out += i ? ",{\"text\":" : "{\"text\":";
        appendJsonString(out, slots[i]);
        out += ",\"frames\":";
        appendList(out, chain ? component.rows : std::vector<int>{component.rows.at(i)},
                   [&out](int frame) { out += std::to_string(frame); });
        out += '}';
    }
    out += ']';
}

// What a flip-book's rows and an odometer's wheels show, in the words of the report, and which
// child fills each slot. A gear meter's row names the gear and its display: "gear 0 (neutral) →
// gear_1".
void appendShown(std::string& out, const report::RideVehicle& vehicle,
                 const report::RideComponent& component) {
    const std::vector<std::string> slots = report::slotLines(vehicle, component);
    if (component.entry->children != ChildFrames::none) appendSlots(out, slots, component);
    const bool gearMeter = component.entry->children == ChildFrames::gearDisplays;
    switch (component.entry->children) {
        case ChildFrames::chainLinkSets:
        case ChildFrames::gearDisplays:
            out += ",\"rows\":[";
            for (std::size_t row = 0; row < component.rows.size(); ++row) {
                if (row) out += ',';
                appendJsonString(out, gearMeter ? slots.at(row)
                                                : report::shownText(vehicle, component,
                                                                    static_cast<double>(row)));
            }
            out += "],\"none\":";
            appendJsonString(out, report::shownText(vehicle, component, report::noRowShown));
            out += ",\"several\":";
            appendJsonString(out, report::shownText(vehicle, component, report::severalRowsShown));
            break;
        case ChildFrames::odometerWheels:
            out += ",\"wheels\":" + std::to_string(component.rows.size());
            break;
        case ChildFrames::none:
            break;
    }
}

void appendComponent(std::string& out, const report::RideVehicle& vehicle,
                     const report::RideComponent& component) {
    out += "{\"title\":";
    appendJsonString(out, component.entry->title);
    out += ",\"key\":";
    appendJsonString(out, component.entry->key);
    out += ",\"frame\":" + std::to_string(component.frame) + ",\"unit\":\"" +
           unitOf(*component.entry) + '"';
    appendShown(out, vehicle, component);
    out += ",\"values\":";
    // The first value is the state at creation, before any render.
    appendList(
        out, std::span(component.values).subspan(1),
        [&out](const std::pair<double, double>& sample) { appendDouble(out, sample.second); });
    out += '}';
}

}  // namespace

std::string pageDataJson(const PageData& data) {
    const report::RideVehicle& ride = *data.ride;
    std::string out = "{\"format\":" + std::to_string(pageDataFormat) + ",\"title\":";
    appendJsonString(out, data.title);
    out += ",\"vehicle\":";
    appendJsonString(out, data.vehicle);
    out += ",\"axes\":";
    appendAxes(out, data.axes);
    out += ",\"model\":{\"binary\":";
    out += data.files->binary ? "true" : "false";
    out += ",\"main\":\"" + base64(data.files->main) + "\",\"resources\":{";
    for (std::size_t i = 0; i < data.files->resources.size(); ++i) {
        const auto& [uri, bytes] = data.files->resources[i];
        if (i) out += ',';
        appendJsonString(out, uri);
        out += ":\"" + base64(bytes) + '"';
    }
    out += "}},\"frames\":[";
    for (std::size_t i = 0; i < ride.frames.size(); ++i) {
        if (i) out += ',';
        out += "{\"name\":";
        appendJsonString(out, ride.frames[i].name);
        out += ",\"node\":" + std::to_string(data.frames->frameNodes.at(i)) +
               ",\"objects\":" + std::to_string(ride.frames[i].objects) + '}';
    }
    // The page shows a frame's mesh while this bit of its first object's flags is set.
    out += "],\"renderFlag\":" + std::to_string(host::renderFlag) + ",\"renders\":";
    appendList(out, ride.renderChanges,
               [&out](const report::RideRender& render) { appendRender(out, render); });
    out += ",\"components\":";
    appendList(out, ride.components, [&](const report::RideComponent& component) {
        appendComponent(out, ride, component);
    });
    out += ",\"warnings\":";
    appendList(out, data.warnings, [&out](const PageWarning& warning) {
        out += "{\"frame\":" + std::to_string(warning.frame) + ",\"text\":";
        appendJsonString(out, warning.text);
        out += '}';
    });
    if (data.watchVersion) out += ",\"watch\":" + std::to_string(*data.watchVersion);
    return out + '}';
}

}  // namespace sim
