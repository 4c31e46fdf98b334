#include "sim/formats/trace_writer.h"

#include "sim/formats/json_writing.h"

namespace sim {

void appendRotation(std::string& out, const TraceRotation& rotation) {
    out += '[' + std::to_string(rotation.frameIndex) + ",\"";
    out += rotation.axis;
    out += "\",";
    appendFloat(out, rotation.angle);
    out += ']';
}

void appendFlagChange(std::string& out, const hostsim::FlagChange& change) {
    out += '[' + std::to_string(change.frameIndex) + ',' + std::to_string(change.objectIndex) +
           ',' + std::to_string(change.flags) + ']';
}

// The fields of every line come in the order format 1 gives them; later additions follow them.

void TraceWriter::take(const TraceStart& start) {
    line_ = "{\"type\":\"start\",\"format\":" + std::to_string(traceFormat) +
            ",\"version\":" + std::to_string(start.version) + ",\"patchedSites\":";
    appendList(line_, start.patchedSites,
               [this](std::uint32_t site) { line_ += std::to_string(site); });
    line_ += ",\"ticks\":" + std::to_string(start.ticks) + "}";
    emit();
}

void TraceWriter::take(const TraceCreate& create) {
    line_ = "{\"type\":\"create\",\"tick\":" + std::to_string(create.tick) + ",\"vehicle\":";
    appendJsonString(line_, create.vehicle);
    line_ += ",\"slot\":" + std::to_string(create.slot) + ",\"frames\":";
    appendList(line_, create.frames,
               [this](const TraceFrame& f) { appendJsonString(line_, f.name); });
    line_ += ",\"class\":" + std::to_string(create.vehicleClass) + ",\"parents\":";
    appendList(line_, create.frames,
               [this](const TraceFrame& f) { line_ += std::to_string(f.parent); });
    line_ += ",\"objects\":";
    appendList(line_, create.frames,
               [this](const TraceFrame& f) { line_ += std::to_string(f.objects); });
    line_ += ",\"startFlags\":";
    appendList(line_, create.frames,
               [this](const TraceFrame& f) { line_ += std::to_string(f.startFlags); });
    line_ += '}';
    emit();
}

void TraceWriter::take(const TraceRender& render) {
    line_ = "{\"type\":\"render\",\"tick\":" + std::to_string(render.tick) + ",\"vehicle\":";
    appendJsonString(line_, render.vehicle);
    line_ += ",\"site\":\"";
    line_ += siteName(render.site);
    line_ += "\",\"rotations\":";
    appendList(line_, render.rotations,
               [this](const TraceRotation& r) { appendRotation(line_, r); });
    line_ += ",\"updates\":";
    appendList(line_, render.updates, [this](int frame) { line_ += std::to_string(frame); });
    line_ += ",\"flags\":";
    appendList(line_, render.flags,
               [this](const hostsim::FlagChange& f) { appendFlagChange(line_, f); });
    const RenderInputs& in = render.inputs;
    line_ += ",\"speedEstimate\":";
    appendDouble(line_, in.speedEstimate);
    line_ += ",\"passSpeed\":" + std::to_string(in.passSpeed) +
             ",\"passTime\":" + std::to_string(in.passTime) + ",\"timeStep\":";
    appendFloat(line_, in.timeStep);
    line_ += ",\"currentGear\":" + std::to_string(in.currentGear) +
             ",\"vehicleFlags\":" + std::to_string(in.vehicleFlags) + ",\"rearBrakeInput\":";
    appendFloat(line_, in.rearBrakeInput);
    line_ += ",\"driveInput\":";
    appendFloat(line_, in.driveInput);
    line_ += '}';
    emit();
}

void TraceWriter::take(const TraceDestroy& destroy) {
    line_ = "{\"type\":\"destroy\",\"tick\":" + std::to_string(destroy.tick) + ",\"vehicle\":";
    appendJsonString(line_, destroy.vehicle);
    line_ += ",\"slot\":" + std::to_string(destroy.slot) + "}";
    emit();
}

void TraceWriter::take(const TraceEnd& end) {
    line_ = std::string("{\"type\":\"end\",\"restored\":") + (end.restored ? "true" : "false") +
            ",\"log\":";
    appendList(line_, end.log, [this](const std::string& text) { appendJsonString(line_, text); });
    line_ += '}';
    emit();
}

void TraceWriter::emit() {
    line_ += '\n';
    if (std::fwrite(line_.data(), 1, line_.size(), out_) != line_.size()) ok_ = false;
}

bool TraceWriter::flush() {
    if (std::fflush(out_) != 0 || std::ferror(out_)) ok_ = false;
    return ok_;
}

}  // namespace sim
