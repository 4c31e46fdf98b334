#include "sim/formats/trace_writer.h"

#include "sim/formats/json_writing.h"

namespace sim {

void TraceWriter::emit(std::string& line) {
    line += '\n';
    if (std::fwrite(line.data(), 1, line.size(), out_) != line.size()) ok_ = false;
}

bool TraceWriter::flush() {
    if (std::fflush(out_) != 0 || std::ferror(out_)) ok_ = false;
    return ok_;
}

void TraceWriter::start(std::int32_t version, const std::vector<std::uint32_t>& patchedSites) {
    std::string line = "{\"type\":\"start\",\"format\":" + std::to_string(traceFormat) +
                       ",\"version\":" + std::to_string(version) + ",\"patchedSites\":[";
    for (std::size_t i = 0; i < patchedSites.size(); ++i) {
        if (i) line += ',';
        line += std::to_string(patchedSites[i]);
    }
    line += "]}";
    emit(line);
}

void TraceWriter::create(std::uint32_t tick, const std::string& vehicle, std::uint32_t slot,
                         const std::vector<std::string>& frames) {
    std::string line = "{\"type\":\"create\",\"tick\":" + std::to_string(tick) + ",\"vehicle\":";
    appendJsonString(line, vehicle);
    line += ",\"slot\":" + std::to_string(slot) + ",\"frames\":[";
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i) line += ',';
        appendJsonString(line, frames[i]);
    }
    line += "]}";
    emit(line);
}

void TraceWriter::render(std::uint32_t tick, const std::string& vehicle, const char* site,
                         const std::vector<TraceRotation>& rotations,
                         const std::vector<int>& updates,
                         const std::vector<hostsim::FlagChange>& flags) {
    std::string line = "{\"type\":\"render\",\"tick\":" + std::to_string(tick) + ",\"vehicle\":";
    appendJsonString(line, vehicle);
    line += ",\"site\":\"";
    line += site;
    line += "\",\"rotations\":[";
    for (std::size_t i = 0; i < rotations.size(); ++i) {
        if (i) line += ',';
        line += '[' + std::to_string(rotations[i].frameIndex) + ",\"";
        line += rotations[i].axis;
        line += "\",";
        appendFloat(line, rotations[i].angle);
        line += ']';
    }
    line += "],\"updates\":[";
    for (std::size_t i = 0; i < updates.size(); ++i) {
        if (i) line += ',';
        line += std::to_string(updates[i]);
    }
    line += "],\"flags\":[";
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (i) line += ',';
        line += '[' + std::to_string(flags[i].frameIndex) + ',' +
                std::to_string(flags[i].objectIndex) + ',' + std::to_string(flags[i].flags) + ']';
    }
    line += "]}";
    emit(line);
}

void TraceWriter::destroy(std::uint32_t tick, const std::string& vehicle, std::uint32_t slot) {
    std::string line = "{\"type\":\"destroy\",\"tick\":" + std::to_string(tick) + ",\"vehicle\":";
    appendJsonString(line, vehicle);
    line += ",\"slot\":" + std::to_string(slot) + "}";
    emit(line);
}

void TraceWriter::end(bool restored, const std::vector<std::string>& log) {
    std::string line = std::string("{\"type\":\"end\",\"restored\":") +
                       (restored ? "true" : "false") + ",\"log\":[";
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (i) line += ',';
        appendJsonString(line, log[i]);
    }
    line += "]}";
    emit(line);
}

}  // namespace sim
