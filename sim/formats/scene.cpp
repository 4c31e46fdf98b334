#include "sim/formats/scene.h"

#include <cstring>
#include <map>

#include "hostsim/host_image.h"
#include "sim/formats/frame_name_rule.h"
#include "sim/formats/json_reader.h"
#include "sim/formats/json_values.h"
#include "sim/formats/json_writing.h"
#include "sim/formats/user_files.h"

namespace sim {

namespace {

using Kind = JsonNode::Kind;

hostsim::FrameShape readFrame(const JsonNode& node, const std::string& path) {
    const ObjectReader frame(node, path, {"name", "objects", "hidden", "children"});
    hostsim::FrameShape shape;
    shape.name = readString(frame.required("name"), frame.path("name"));
    if (const std::string fault = frameNameFault(shape.name); !fault.empty())
        failAt(frame.required("name"), frame.path("name"), fault);
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
        failAt(node, path,
               "tick " + node.text + " is outside the scene (" + tickRange(scene) + ")");
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
        failAt(vehicle.required("name"), vehicle.path("name"), "a vehicle name must not be empty");
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
            failAt(*despawn, vehicle.path("despawnTick"),
                   "despawnTick " + despawn->text + " is not after spawnTick " +
                       std::to_string(v.spawnTick));
        }
    }
    if (auto slot = readOptionalInteger(vehicle.optional("slot"), vehicle.path("slot"), INT64_MIN,
                                        INT64_MAX)) {
        if (*slot < 0 || *slot >= scene.poolSize) {
            failAt(*vehicle.optional("slot"), vehicle.path("slot"),
                   "slot " + std::to_string(*slot) + " is outside the pool (slots 0 to " +
                       std::to_string(scene.poolSize - 1) + ")");
        }
        v.requestedSlot = static_cast<std::uint32_t>(*slot);
    }
    if (const JsonNode* site = vehicle.optional("renderSite")) {
        const std::string& text = readString(*site, vehicle.path("renderSite"));
        const std::optional<RenderSite> named = siteNamed(text, sceneSites);
        if (!named) {
            failAt(*site, vehicle.path("renderSite"),
                   "unknown render site " + jsonQuoted(text) + " (expected " +
                       siteChoices(sceneSites) + ")");
        }
        v.renderSite = *named;
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
            failAt(*vehicle, entry.path("vehicle"), "unknown vehicle " + jsonQuoted(name));
        const SceneVehicle& v = scene.vehicles[static_cast<std::size_t>(e.vehicle)];
        if (!v.aliveAt(e.tick)) {
            failAt(*vehicle, entry.path("vehicle"),
                   "vehicle " + jsonQuoted(name) + " is not alive at tick " +
                       std::to_string(e.tick) + " (" + aliveText(v) + ")");
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
                    failAt(*node.find("slot"), memberPath(path, "slot"),
                           "slot " + std::to_string(*v.requestedSlot) + " is taken at tick " +
                               std::to_string(tick) + " by vehicle " +
                               jsonQuoted(scene.vehicles[static_cast<std::size_t>(taken)].name));
                }
                v.slot = *v.requestedSlot;
            } else {
                std::size_t free = 0;
                while (free < owner.size() && owner[free] >= 0) ++free;
                if (free == owner.size()) {
                    failAt(node, path,
                           "no free slot at tick " + std::to_string(tick) + ": all " +
                               std::to_string(scene.poolSize) + " slots of the pool are taken");
                }
                v.slot = static_cast<std::uint32_t>(free);
            }
            owner[v.slot] = static_cast<int>(i);
        }
    }
}

// "1001, 1002, ..., or 0 for an unknown build": the builds the substitute host can imitate.
std::string knownVersionsText() {
    std::string text;
    for (std::int32_t version : hostsim::knownHostVersions) {
        text += version == 0 ? "or 0 for an unknown build" : std::to_string(version) + ", ";
    }
    return text;
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
                failAt(*version, host.path("version"),
                       "unknown host version " + version->text + " (expected " +
                           knownVersionsText() + ")");
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
                failAt(*vehicles[i].find("name"), memberPath(path, "name"),
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
                failAt(scales ? *scales : vehicles[i], memberPath(path, "wheelScales"),
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
                failAt(*entries[i].find("tick"), memberPath(path, "tick"),
                       "timeline entries must be sorted by tick: tick " +
                           std::to_string(entry.tick) + " comes after tick " +
                           std::to_string(scene.timeline.back().tick));
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
        throw SceneError(placedMessage(fileName, error));
    }
}

Scene readSceneFile(const std::string& path) {
    return readScene(readInputFile(path, {"a scene file", maxJsonBytes}), path);
}

}  // namespace sim
