#include "sim/formats/scene.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>

#include "hostsim/host_image.h"
#include "sim/formats/json_reader.h"
#include "sim/formats/json_writing.h"

namespace sim {

namespace {

using Kind = JsonNode::Kind;

[[noreturn]] void fail(const JsonNode& at, const std::string& path, const std::string& what) {
    throw JsonError(at.pos, path, what);
}

std::string describe(const JsonNode& node) {
    if (node.kind == Kind::number) return node.text;
    if (node.kind == Kind::string) return "the string " + jsonQuoted(node.text);
    return kindName(node.kind);
}

// An object whose keys are all known; unknown keys are refused where they stand.
class ObjectReader {
  public:
    ObjectReader(const JsonNode& node, std::string path, std::initializer_list<const char*> keys,
                 const std::string& hint = "")
        : node_(node), path_(std::move(path)) {
        if (node.kind != Kind::object)
            fail(node, path_, std::string("expected an object, got ") + describe(node));
        for (const JsonNode::Member& member : node.members) {
            bool known = false;
            for (const char* key : keys) known = known || member.key == key;
            if (known) continue;
            std::string expected;
            for (const char* key : keys)
                expected += std::string(expected.empty() ? "" : ", ") + key;
            throw JsonError(member.keyPos, memberPath(path_, member.key),
                            "unknown key (expected one of: " + expected + ")" + hint);
        }
    }

    // Null counts as given: only fields that allow null ask for it explicitly.
    const JsonNode* optional(const char* key) const { return node_.find(key); }
    const JsonNode& required(const char* key) const {
        const JsonNode* value = node_.find(key);
        if (value == nullptr) fail(node_, memberPath(path_, key), "required but missing");
        return *value;
    }
    std::string path(const char* key) const { return memberPath(path_, key); }
    const JsonNode& node() const { return node_; }

  private:
    const JsonNode& node_;
    std::string path_;
};

// Large bounds with thousands separators, as people write them: 1,000,000.
std::string showNumber(std::int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string shown = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && digits.size() > 5 && (digits.size() - i) % 3 == 0) shown += ',';
        shown += digits[i];
    }
    return shown;
}

std::string rangeText(std::int64_t min, std::int64_t max) {
    return showNumber(min) + " to " + showNumber(max);
}

std::int64_t readInteger(const JsonNode& node, const std::string& path, std::int64_t min,
                         std::int64_t max) {
    if (node.kind != Kind::number) fail(node, path, "expected an integer, got " + describe(node));
    if (node.text.find_first_of(".eE") != std::string::npos) {
        fail(node, path, "expected an integer, got " + node.text);
    }
    std::int64_t value = 0;
    const char* end = node.text.data() + node.text.size();
    const auto result = std::from_chars(node.text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value < min || value > max) {
        fail(node, path, node.text + " is out of range (allowed: " + rangeText(min, max) + ")");
    }
    return value;
}

// The nearest 32-bit float to the decimal text, rounded once.
float readFloat(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::number) fail(node, path, "expected a number, got " + describe(node));
    const char* begin = node.text.data();
    const char* end = begin + node.text.size();
    float value = 0.0f;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large, or so small that the nearest float is zero.
        double wide = 0.0;
        std::from_chars(begin, end, wide);
        if (!(std::fabs(wide) < 1.0))
            fail(node, path, node.text + " is out of range for a 32-bit float");
        return node.text[0] == '-' ? -0.0f : 0.0f;
    }
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) {
        fail(node, path, node.text + " is out of range for a 32-bit float");
    }
    return value;
}

template <std::size_t N>
std::array<float, N> readFloats(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::array || node.items.size() != N) {
        const std::string got = node.kind == Kind::array
                                    ? std::to_string(node.items.size()) + " items"
                                    : describe(node);
        fail(node, path, "expected an array of " + std::to_string(N) + " numbers, got " + got);
    }
    std::array<float, N> values{};
    for (std::size_t i = 0; i < N; ++i) values[i] = readFloat(node.items[i], itemPath(path, i));
    return values;
}

bool readBool(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::boolean)
        fail(node, path, "expected true or false, got " + describe(node));
    return node.boolean;
}

const std::string& readString(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::string) fail(node, path, "expected a string, got " + describe(node));
    return node.text;
}

const std::vector<JsonNode>& readArray(const JsonNode& node, const std::string& path) {
    if (node.kind != Kind::array) fail(node, path, "expected an array, got " + describe(node));
    return node.items;
}

std::optional<std::int64_t> readOptionalInteger(const JsonNode* node, const std::string& path,
                                                std::int64_t min, std::int64_t max) {
    if (node == nullptr || node->kind == Kind::null) return std::nullopt;
    return readInteger(*node, path, min, max);
}

hostsim::FrameShape readFrame(const JsonNode& node, const std::string& path) {
    const ObjectReader frame(node, path, {"name", "objects", "hidden", "children"});
    hostsim::FrameShape shape;
    shape.name = readString(frame.required("name"), frame.path("name"));
    for (std::size_t i = 0; i < shape.name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(shape.name[i]);
        if (byte < 0x20 || byte > 0x7E) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", byte);
            fail(frame.required("name"), frame.path("name"),
                 std::string("frame names must be printable ASCII: byte ") + hex + " at position " +
                     std::to_string(i));
        }
    }
    if (const JsonNode* objects = frame.optional("objects")) {
        shape.objects = static_cast<int>(readInteger(*objects, frame.path("objects"), 0, 1000));
    }
    if (const JsonNode* hidden = frame.optional("hidden"))
        shape.hidden = readBool(*hidden, frame.path("hidden"));
    if (const JsonNode* children = frame.optional("children")) {
        const auto& items = readArray(*children, frame.path("children"));
        for (std::size_t i = 0; i < items.size(); ++i) {
            shape.children.push_back(readFrame(items[i], itemPath(frame.path("children"), i)));
        }
    }
    return shape;
}

std::string tickRange(const Scene& scene) {
    return "the scene's ticks are 0 to " + std::to_string(scene.ticks - 1);
}

std::uint32_t readTick(const JsonNode& node, const std::string& path, const Scene& scene) {
    const std::int64_t tick = readInteger(node, path, INT64_MIN, INT64_MAX);
    if (tick < 0 || tick >= scene.ticks) {
        fail(node, path, "tick " + node.text + " is outside the scene (" + tickRange(scene) + ")");
    }
    return static_cast<std::uint32_t>(tick);
}

SceneVehicle readVehicle(const JsonNode& node, const std::string& path, const Scene& scene) {
    const ObjectReader vehicle(node, path,
                               {"name", "class", "modelIndex", "wheelScales", "spawnTick",
                                "despawnTick", "slot", "renderSite", "model"});
    SceneVehicle v;
    v.name = readString(vehicle.required("name"), vehicle.path("name"));
    if (v.name.empty())
        fail(vehicle.required("name"), vehicle.path("name"), "a vehicle name must not be empty");
    v.vehicleClass = static_cast<std::int32_t>(
        readInteger(vehicle.required("class"), vehicle.path("class"), INT32_MIN, INT32_MAX));
    v.modelIndex = static_cast<std::uint16_t>(
        readInteger(vehicle.required("modelIndex"), vehicle.path("modelIndex"), 0, 65535));
    if (const JsonNode* scales = vehicle.optional("wheelScales")) {
        v.wheelScales = readFloats<2>(*scales, vehicle.path("wheelScales"));
    }
    if (const JsonNode* spawn = vehicle.optional("spawnTick")) {
        v.spawnTick = readTick(*spawn, vehicle.path("spawnTick"), scene);
    }
    if (const JsonNode* despawn = vehicle.optional("despawnTick");
        despawn && despawn->kind != Kind::null) {
        v.despawnTick = readTick(*despawn, vehicle.path("despawnTick"), scene);
        if (*v.despawnTick <= v.spawnTick) {
            fail(*despawn, vehicle.path("despawnTick"),
                 "despawnTick " + despawn->text + " is not after spawnTick " +
                     std::to_string(v.spawnTick));
        }
    }
    if (auto slot = readOptionalInteger(vehicle.optional("slot"), vehicle.path("slot"), INT64_MIN,
                                        INT64_MAX)) {
        if (*slot < 0 || *slot >= scene.poolSize) {
            fail(*vehicle.optional("slot"), vehicle.path("slot"),
                 "slot " + std::to_string(*slot) + " is outside the pool (slots 0 to " +
                     std::to_string(scene.poolSize - 1) + ")");
        }
        v.requestedSlot = static_cast<std::uint32_t>(*slot);
    }
    if (const JsonNode* site = vehicle.optional("renderSite")) {
        const std::string& text = readString(*site, vehicle.path("renderSite"));
        if (text == "call") {
            v.renderSite = RenderMode::call;
        } else if (text == "jump") {
            v.renderSite = RenderMode::jump;
        } else if (text == "alternate") {
            v.renderSite = RenderMode::alternate;
        } else {
            fail(*site, vehicle.path("renderSite"),
                 "unknown render site " + jsonQuoted(text) +
                     " (expected \"call\", \"jump\" or \"alternate\")");
        }
    }
    v.model = readFrame(vehicle.required("model"), vehicle.path("model"));
    return v;
}

void readVehicleFields(const JsonNode& node, const std::string& path, VehicleFields& fields) {
    const ObjectReader set(
        node, path,
        {"moveSpeed", "wheelSpeed", "bikeWheelSpeed", "vehicleFlags", "driveInput",
         "rearBrakeInput", "currentGear", "travelCounter", "bikeTravelCounter"});
    if (auto* n = set.optional("moveSpeed"))
        fields.moveSpeed = readFloats<3>(*n, set.path("moveSpeed"));
    if (auto* n = set.optional("wheelSpeed"))
        fields.wheelSpeed = readFloats<4>(*n, set.path("wheelSpeed"));
    if (auto* n = set.optional("bikeWheelSpeed"))
        fields.bikeWheelSpeed = readFloats<2>(*n, set.path("bikeWheelSpeed"));
    if (auto* n = set.optional("vehicleFlags")) {
        fields.vehicleFlags =
            static_cast<std::uint8_t>(readInteger(*n, set.path("vehicleFlags"), 0, 255));
    }
    if (auto* n = set.optional("driveInput"))
        fields.driveInput = readFloat(*n, set.path("driveInput"));
    if (auto* n = set.optional("rearBrakeInput"))
        fields.rearBrakeInput = readFloat(*n, set.path("rearBrakeInput"));
    if (auto* n = set.optional("currentGear")) {
        fields.currentGear =
            static_cast<std::uint8_t>(readInteger(*n, set.path("currentGear"), 0, 255));
    }
    if (auto* n = set.optional("travelCounter"))
        fields.travelCounter = readFloat(*n, set.path("travelCounter"));
    if (auto* n = set.optional("bikeTravelCounter")) {
        fields.bikeTravelCounter = readFloat(*n, set.path("bikeTravelCounter"));
    }
}

std::string aliveText(const SceneVehicle& v) {
    std::string text = "it is alive from tick " + std::to_string(v.spawnTick);
    if (v.despawnTick) text += " until it is destroyed at tick " + std::to_string(*v.despawnTick);
    return text;
}

TimelineEntry readTimelineEntry(const JsonNode& node, const std::string& path, const Scene& scene) {
    const ObjectReader entry(node, path, {"tick", "vehicle", "set"});
    TimelineEntry e;
    e.tick = readTick(entry.required("tick"), entry.path("tick"), scene);
    const JsonNode& set = entry.required("set");
    if (const JsonNode* vehicle = entry.optional("vehicle")) {
        const std::string& name = readString(*vehicle, entry.path("vehicle"));
        for (std::size_t i = 0; i < scene.vehicles.size() && e.vehicle < 0; ++i) {
            if (scene.vehicles[i].name == name) e.vehicle = static_cast<int>(i);
        }
        if (e.vehicle < 0)
            fail(*vehicle, entry.path("vehicle"), "unknown vehicle " + jsonQuoted(name));
        const SceneVehicle& v = scene.vehicles[static_cast<std::size_t>(e.vehicle)];
        if (!v.aliveAt(e.tick)) {
            fail(*vehicle, entry.path("vehicle"),
                 "vehicle " + jsonQuoted(name) + " is not alive at tick " + std::to_string(e.tick) +
                     " (" + aliveText(v) + ")");
        }
        readVehicleFields(set, entry.path("set"), e.fields);
    } else {
        const ObjectReader clock(set, entry.path("set"), {"timeStep", "timeCounter"},
                                 "; vehicle fields need the entry's \"vehicle\"");
        if (auto* n = clock.optional("timeStep"))
            e.timeStep = readFloat(*n, clock.path("timeStep"));
        if (auto* n = clock.optional("timeCounter")) {
            e.timeCounter = static_cast<std::uint32_t>(
                readInteger(*n, clock.path("timeCounter"), 0, 0xFFFFFFFFll));
        }
    }
    return e;
}

// Gives every vehicle its slot, as the runner will: at each tick the vehicles due to despawn free
// their slots first, then those due to spawn take theirs, in the order of the scene.
void assignSlots(Scene& scene, const JsonNode& vehiclesNode, const std::string& vehiclesPath) {
    std::map<std::uint32_t, std::vector<std::size_t>> spawns, despawns;
    for (std::size_t i = 0; i < scene.vehicles.size(); ++i) {
        spawns[scene.vehicles[i].spawnTick].push_back(i);
        if (scene.vehicles[i].despawnTick) despawns[*scene.vehicles[i].despawnTick].push_back(i);
    }
    std::vector<int> owner(scene.poolSize, -1);
    auto despawn = despawns.begin();
    for (const auto& [tick, starting] : spawns) {
        for (; despawn != despawns.end() && despawn->first <= tick; ++despawn) {
            for (std::size_t i : despawn->second) owner[scene.vehicles[i].slot] = -1;
        }
        for (std::size_t i : starting) {
            SceneVehicle& v = scene.vehicles[i];
            const JsonNode& node = vehiclesNode.items[i];
            const std::string path = itemPath(vehiclesPath, i);
            if (v.requestedSlot) {
                const int taken = owner[*v.requestedSlot];
                if (taken >= 0) {
                    fail(*node.find("slot"), memberPath(path, "slot"),
                         "slot " + std::to_string(*v.requestedSlot) + " is taken at tick " +
                             std::to_string(tick) + " by vehicle " +
                             jsonQuoted(scene.vehicles[static_cast<std::size_t>(taken)].name));
                }
                v.slot = *v.requestedSlot;
            } else {
                std::size_t free = 0;
                while (free < owner.size() && owner[free] >= 0) ++free;
                if (free == owner.size()) {
                    fail(node, path,
                         "no free slot at tick " + std::to_string(tick) + ": all " +
                             std::to_string(scene.poolSize) + " slots of the pool are taken");
                }
                v.slot = static_cast<std::uint32_t>(free);
            }
            owner[v.slot] = static_cast<int>(i);
        }
    }
}

Scene sceneFrom(const JsonNode& root) {
    const ObjectReader top(root, "", {"format", "host", "ticks", "clock", "vehicles", "timeline"});
    Scene scene;
    readInteger(top.required("format"), top.path("format"), sceneFormat, sceneFormat);
    if (const JsonNode* hostNode = top.optional("host")) {
        const ObjectReader host(*hostNode, top.path("host"), {"version", "poolSize"});
        if (const JsonNode* version = host.optional("version")) {
            const std::int64_t value =
                readInteger(*version, host.path("version"), INT32_MIN, INT32_MAX);
            if (!hostsim::isKnownHostVersion(static_cast<std::int32_t>(value))) {
                fail(*version, host.path("version"),
                     "unknown host version " + version->text +
                         " (expected 1001, 1002, 1011, 1101, 1111, 3200, 3210, or 0 for an unknown "
                         "build)");
            }
            scene.hostVersion = static_cast<std::int32_t>(value);
        }
        if (const JsonNode* pool = host.optional("poolSize")) {
            scene.poolSize =
                static_cast<std::uint32_t>(readInteger(*pool, host.path("poolSize"), 1, 1000));
        }
    }
    scene.ticks = static_cast<std::uint32_t>(
        readInteger(top.required("ticks"), top.path("ticks"), 1, 1000000));
    if (const JsonNode* clockNode = top.optional("clock")) {
        const ObjectReader clock(*clockNode, top.path("clock"),
                                 {"timeStep", "counterStart", "counterStep"});
        if (auto* n = clock.optional("timeStep"))
            scene.timeStep = readFloat(*n, clock.path("timeStep"));
        if (auto* n = clock.optional("counterStart")) {
            scene.counterStart = static_cast<std::uint32_t>(
                readInteger(*n, clock.path("counterStart"), 0, 0xFFFFFFFFll));
        }
        if (auto* n = clock.optional("counterStep")) {
            scene.counterStep =
                static_cast<std::uint32_t>(readInteger(*n, clock.path("counterStep"), 0, 1000000));
        }
    }

    const JsonNode& vehiclesNode = top.required("vehicles");
    const auto& vehicles = readArray(vehiclesNode, top.path("vehicles"));
    std::map<std::uint16_t, std::size_t> firstWithModel;
    for (std::size_t i = 0; i < vehicles.size(); ++i) {
        const std::string path = itemPath(top.path("vehicles"), i);
        SceneVehicle v = readVehicle(vehicles[i], path, scene);
        for (std::size_t j = 0; j < scene.vehicles.size(); ++j) {
            if (scene.vehicles[j].name == v.name) {
                fail(*vehicles[i].find("name"), memberPath(path, "name"),
                     "duplicate vehicle name " + jsonQuoted(v.name) + " (also " +
                         itemPath(top.path("vehicles"), j) + ")");
            }
        }
        // One model index leads to one model information, holding one pair of wheel scales.
        const auto [first, inserted] = firstWithModel.emplace(v.modelIndex, i);
        if (!inserted) {
            const SceneVehicle& other = scene.vehicles[first->second];
            if (std::memcmp(other.wheelScales.data(), v.wheelScales.data(), sizeof v.wheelScales) !=
                0) {
                const JsonNode* scales = vehicles[i].find("wheelScales");
                fail(scales ? *scales : vehicles[i], memberPath(path, "wheelScales"),
                     "vehicle " + jsonQuoted(other.name) + " has the same modelIndex " +
                         std::to_string(v.modelIndex) +
                         " with other wheelScales; one model has one pair of wheel scales");
            }
        }
        scene.vehicles.push_back(std::move(v));
    }
    assignSlots(scene, vehiclesNode, top.path("vehicles"));

    if (const JsonNode* timelineNode = top.optional("timeline")) {
        const auto& entries = readArray(*timelineNode, top.path("timeline"));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::string path = itemPath(top.path("timeline"), i);
            TimelineEntry entry = readTimelineEntry(entries[i], path, scene);
            if (!scene.timeline.empty() && entry.tick < scene.timeline.back().tick) {
                fail(*entries[i].find("tick"), memberPath(path, "tick"),
                     "timeline entries must be sorted by tick: tick " + std::to_string(entry.tick) +
                         " comes after tick " + std::to_string(scene.timeline.back().tick));
            }
            scene.timeline.push_back(std::move(entry));
        }
    }
    return scene;
}

}  // namespace

Scene readScene(std::string_view text, std::string_view fileName) {
    try {
        return sceneFrom(parseJson(text));
    } catch (const JsonError& error) {
        std::ostringstream message;
        message << fileName << ":" << error.pos.line << ":" << error.pos.column << ": ";
        if (!error.path.empty()) message << error.path << ": ";
        message << error.what();
        throw SceneError(message.str());
    }
}

Scene readSceneFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw SceneError(path + ": is a folder, not a scene file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SceneError(path + ": cannot open the scene file");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw SceneError(path + ": cannot read the scene file");
    return readScene(text.str(), path);
}

}  // namespace sim
