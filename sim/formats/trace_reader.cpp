#include "sim/formats/trace_reader.h"

#include <cstdint>
#include <limits>

#include "sim/formats/json_reader.h"
#include "sim/formats/json_values.h"

namespace sim {

namespace {

constexpr std::int64_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t uint32Max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t readUint32(const ObjectReader& line, const char* key) {
    return static_cast<std::uint32_t>(
        readInteger(line.required(key), line.path(key), 0, uint32Max));
}

// Every item of a required array, read by readItem(node, path).
template <typename ReadItem>
auto readList(const ObjectReader& line, const char* key, ReadItem readItem) {
    const auto& items = readArray(line.required(key), line.path(key));
    std::vector<decltype(readItem(items[0], std::string()))> values;
    values.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        values.push_back(readItem(items[i], itemPath(line.path(key), i)));
    }
    return values;
}

const std::vector<JsonNode>& readTuple(const JsonNode& node, const std::string& path,
                                       std::size_t size) {
    const auto& items = readArray(node, path);
    if (items.size() != size) {
        failAt(node, path,
               "expected " + std::to_string(size) + " items, got " + std::to_string(items.size()));
    }
    return items;
}

auto integerItem(std::int64_t min, std::int64_t max) {
    return [min, max](const JsonNode& node, const std::string& path) {
        return static_cast<int>(readInteger(node, path, min, max));
    };
}

TraceStart readStart(const ObjectReader& line) {
    readInteger(line.required("format"), line.path("format"), traceFormat, traceFormat);
    TraceStart start;
    start.version = static_cast<std::int32_t>(
        readInteger(line.required("version"), line.path("version"), int32Min, int32Max));
    start.patchedSites =
        readList(line, "patchedSites", [](const JsonNode& node, const std::string& path) {
            return static_cast<std::uint32_t>(readInteger(node, path, 0, uint32Max));
        });
    start.ticks = readUint32(line, "ticks");
    return start;
}

TraceCreate readCreate(const ObjectReader& line) {
    TraceCreate create;
    create.tick = readUint32(line, "tick");
    create.vehicle = readString(line.required("vehicle"), line.path("vehicle"));
    create.slot = readUint32(line, "slot");
    create.vehicleClass = static_cast<std::int32_t>(
        readInteger(line.required("class"), line.path("class"), int32Min, int32Max));
    const auto names = readList(line, "frames", [](const JsonNode& node, const std::string& path) {
        return readString(node, path);
    });
    const auto frameCount = static_cast<std::int64_t>(names.size());
    const auto parents = readList(line, "parents", integerItem(-1, frameCount - 1));
    const auto objects = readList(line, "objects", integerItem(0, 1000));
    const auto startFlags = readList(line, "startFlags", integerItem(0, 255));
    for (const char* key : {"parents", "objects", "startFlags"}) {
        const std::size_t count = line.required(key).items.size();
        if (count != names.size()) {
            failAt(line.required(key), line.path(key),
                   "expected one item per frame (" + std::to_string(names.size()) + "), got " +
                       std::to_string(count));
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        // In depth-first pre-order a parent comes before its children, and only the root has none.
        const bool root = i == 0;
        if (root != (parents[i] < 0) || parents[i] >= static_cast<int>(i)) {
            failAt(line.required("parents").items[i], itemPath(line.path("parents"), i),
                   root ? "the first frame is the root: its parent is -1"
                        : "a frame's parent is a frame before it");
        }
        create.frames.push_back(
            {names[i], parents[i], objects[i], static_cast<std::uint8_t>(startFlags[i])});
    }
    return create;
}

TraceRotation readRotation(const JsonNode& node, const std::string& path) {
    const auto& items = readTuple(node, path, 3);
    TraceRotation rotation{};
    rotation.frameIndex = static_cast<int>(readInteger(items[0], itemPath(path, 0), -1, int32Max));
    const std::string& axis = readString(items[1], itemPath(path, 1));
    if (axis != "x" && axis != "y" && axis != "z") {
        failAt(items[1], itemPath(path, 1),
               "expected \"x\", \"y\" or \"z\", got " + describe(items[1]));
    }
    rotation.axis = axis[0];
    rotation.angle = readTraceFloat(items[2], itemPath(path, 2));
    return rotation;
}

hostsim::FlagChange readFlagChange(const JsonNode& node, const std::string& path) {
    const auto& items = readTuple(node, path, 3);
    return {static_cast<int>(readInteger(items[0], itemPath(path, 0), -1, int32Max)),
            static_cast<int>(readInteger(items[1], itemPath(path, 1), 0, int32Max)),
            static_cast<std::uint8_t>(readInteger(items[2], itemPath(path, 2), 0, 255))};
}

RenderInputs readInputs(const ObjectReader& line) {
    RenderInputs in;
    in.speedEstimate = readTraceDouble(line.required("speedEstimate"), line.path("speedEstimate"));
    in.passSpeed = static_cast<std::int32_t>(
        readInteger(line.required("passSpeed"), line.path("passSpeed"), int32Min, int32Max));
    in.passTime = readUint32(line, "passTime");
    in.timeStep = readTraceFloat(line.required("timeStep"), line.path("timeStep"));
    in.currentGear = static_cast<std::uint8_t>(
        readInteger(line.required("currentGear"), line.path("currentGear"), 0, 255));
    in.vehicleFlags = static_cast<std::uint8_t>(
        readInteger(line.required("vehicleFlags"), line.path("vehicleFlags"), 0, 255));
    in.rearBrakeInput =
        readTraceFloat(line.required("rearBrakeInput"), line.path("rearBrakeInput"));
    in.driveInput = readTraceFloat(line.required("driveInput"), line.path("driveInput"));
    return in;
}

TraceRender readRender(const ObjectReader& line) {
    TraceRender render;
    render.tick = readUint32(line, "tick");
    render.vehicle = readString(line.required("vehicle"), line.path("vehicle"));
    const JsonNode& siteNode = line.required("site");
    const std::optional<RenderSite> site =
        siteNamed(readString(siteNode, line.path("site")), renderedSites);
    if (!site) {
        failAt(siteNode, line.path("site"),
               "expected " + siteChoices(renderedSites) + ", got " + describe(siteNode));
    }
    render.site = *site;
    render.rotations = readList(line, "rotations", readRotation);
    render.updates = readList(line, "updates", integerItem(-1, int32Max));
    render.flags = readList(line, "flags", readFlagChange);
    render.inputs = readInputs(line);
    return render;
}

TraceDestroy readDestroy(const ObjectReader& line) {
    TraceDestroy destroy;
    destroy.tick = readUint32(line, "tick");
    destroy.vehicle = readString(line.required("vehicle"), line.path("vehicle"));
    destroy.slot = readUint32(line, "slot");
    return destroy;
}

TraceEnd readEnd(const ObjectReader& line) {
    TraceEnd end;
    end.restored = readBool(line.required("restored"), line.path("restored"));
    end.log = readList(line, "log", [](const JsonNode& node, const std::string& path) {
        return readString(node, path);
    });
    return end;
}

std::optional<TraceLine> readLine(const JsonNode& node) {
    const ObjectReader line(node, "");
    const std::string& type = readString(line.required("type"), line.path("type"));
    if (type == "start") return readStart(line);
    if (type == "create") return readCreate(line);
    if (type == "render") return readRender(line);
    if (type == "destroy") return readDestroy(line);
    if (type == "end") return readEnd(line);
    return std::nullopt;
}

}  // namespace

TraceReader::TraceReader(std::string_view text, std::string_view fileName)
    : text_(text), fileName_(fileName) {}

std::optional<TraceLine> TraceReader::next() {
    while (at_ < text_.size()) {
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        const std::string_view text = text_.substr(at_, end - at_);
        at_ = end + 1;
        ++lineNumber_;
        if (text.empty()) continue;
        try {
            if (auto line = readLine(parseJson(text))) return line;
        } catch (const JsonError& error) {
            throw TraceError(placedMessage(fileName_, error, lineNumber_ - 1));
        }
    }
    return std::nullopt;
}

void TraceReader::fail(const std::string& what) const {
    throw TraceError(fileName_ + ":" + std::to_string(lineNumber_) + ":1: " + what);
}

}  // namespace sim
