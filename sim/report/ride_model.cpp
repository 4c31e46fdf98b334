#include "sim/report/ride_model.h"

#include <cmath>
#include <variant>

#include "animation/key_scan.h"
#include "host/host_interface.h"
#include "sim/formats/trace_reader.h"

namespace sim::report {

namespace {

// A ride keeps every attached object's flag byte; a trace may ask for no more than this many per
// vehicle, so that a few bytes of trace cannot claim gigabytes.
constexpr std::size_t maxObjectsPerVehicle = std::size_t{1} << 24;

void addFrames(const TraceCreate& create, RideVehicle& vehicle) {
    for (const TraceFrame& shape : create.frames) {
        RideFrame frame;
        frame.name = shape.name;
        frame.parent = shape.parent;
        frame.firstObject = static_cast<int>(vehicle.flags.size());
        frame.objects = shape.objects;
        if (shape.parent >= 0) {
            vehicle.frames[static_cast<std::size_t>(shape.parent)].children.push_back(
                static_cast<int>(vehicle.frames.size()));
        }
        vehicle.frames.push_back(std::move(frame));
        vehicle.flags.insert(vehicle.flags.end(), static_cast<std::size_t>(shape.objects),
                             shape.startFlags);
    }
    vehicle.angles.assign(vehicle.frames.size(), 0.0);
}

// Every component a frame's name calls for, as the update pass finds them.
void findComponents(RideVehicle& vehicle) {
    for (std::size_t f = 0; f < vehicle.frames.size(); ++f) {
        const RideFrame& frame = vehicle.frames[f];
        if (!frame.name.starts_with(componentPrefix)) continue;
        const ComponentSet found = componentKeysInText(frame.name);
        for (const ComponentEntry& entry : componentCatalogue) {
            if (!holdsComponent(found, entry.component)) continue;
            RideComponent component{&entry, static_cast<int>(f), {}, {}, 0};
            if (entry.children != ChildFrames::none) component.rows = frame.children;
            if (entry.children == ChildFrames::odometerWheels &&
                component.rows.size() > odometerWheelCount) {
                // Children after the last wheel never turn.
                component.rows.resize(odometerWheelCount);
            }
            vehicle.components.push_back(std::move(component));
        }
    }
}

// The digits the wheels show, from each wheel's turn.
double odometerReading(const RideVehicle& vehicle, const RideComponent& component) {
    double reading = 0;
    for (int wheel : component.rows) {
        const long steps =
            std::lround(vehicle.angles[static_cast<std::size_t>(wheel)] / odometerDegreesPerDigit);
        reading = reading * 10 + static_cast<double>((steps % 10 + 10) % 10);
    }
    return reading;
}

double valueOf(const RideVehicle& vehicle, const RideComponent& component) {
    switch (component.entry->motion) {
        case Motion::flipBook: {
            int row = noRowShown;
            for (std::size_t i = 0; i < component.rows.size(); ++i) {
                if (!isShown(vehicle, component.rows[i])) continue;
                if (row >= 0) return severalRowsShown;
                row = static_cast<int>(i);
            }
            return row;
        }
        case Motion::counter:
            return odometerReading(vehicle, component);
        case Motion::lever:
        case Motion::needle:
            break;
    }
    return vehicle.angles[static_cast<std::size_t>(component.frame)];
}

void sample(RideVehicle& vehicle, double tick) {
    for (RideComponent& component : vehicle.components) {
        const double value = valueOf(vehicle, component);
        const bool stepping = component.entry->motion == Motion::flipBook ||
                              component.entry->motion == Motion::counter;
        if (stepping && !component.values.empty() && component.values.back().second != value) {
            ++component.steps;
        }
        component.values.emplace_back(tick, value);
    }
}

void applyRender(const TraceRender& render, RideVehicle& vehicle) {
    // Rotations of frames outside the model (index -1) belong to no frame of this vehicle.
    for (const TraceRotation& rotation : render.rotations) {
        if (rotation.frameIndex < 0 ||
            static_cast<std::size_t>(rotation.frameIndex) >= vehicle.frames.size() ||
            !std::isfinite(rotation.angle)) {
            continue;
        }
        vehicle.angles[static_cast<std::size_t>(rotation.frameIndex)] += rotation.angle;
    }
    for (const hostsim::FlagChange& change : render.flags) {
        if (change.frameIndex < 0 ||
            static_cast<std::size_t>(change.frameIndex) >= vehicle.frames.size()) {
            continue;
        }
        const RideFrame& frame = vehicle.frames[static_cast<std::size_t>(change.frameIndex)];
        if (change.objectIndex < frame.objects) {
            vehicle.flags[static_cast<std::size_t>(frame.firstObject + change.objectIndex)] =
                change.flags;
        }
    }
    ++vehicle.renders;
    ++vehicle.rendersBySite[siteName(render.site)];
    vehicle.speed.emplace_back(render.tick, render.inputs.speedEstimate);
    vehicle.gear.emplace_back(render.tick, render.inputs.currentGear);
    sample(vehicle, static_cast<double>(render.tick) + 1);
    vehicle.renderChanges.push_back({render.tick, render.rotations, render.flags, render.inputs});
}

}  // namespace

void RideBuilder::take(const TraceStart& start) {
    ride_.version = start.version;
    ride_.patchedSites = start.patchedSites;
    ride_.ticks = start.ticks;
}

void RideBuilder::take(const TraceCreate& create) {
    std::size_t objects = 0;
    for (const TraceFrame& frame : create.frames)
        objects += static_cast<std::size_t>(frame.objects);
    if (objects > maxObjectsPerVehicle) {
        throw RideError("vehicle \"" + create.vehicle + "\" has " + std::to_string(objects) +
                        " attached objects, more than a ride holds (" +
                        std::to_string(maxObjectsPerVehicle) + ")");
    }
    RideVehicle& vehicle = createdVehicle(create.vehicle);
    vehicle.name = create.vehicle;
    vehicle.vehicleClass = create.vehicleClass;
    vehicle.slot = create.slot;
    vehicle.created = create.tick;
    addFrames(create, vehicle);
    findComponents(vehicle);
    sample(vehicle, create.tick);
    live_[create.vehicle] = true;
}

void RideBuilder::take(const TraceRender& render) {
    applyRender(render, liveVehicle(render.vehicle, "renders"));
}

void RideBuilder::take(const TraceDestroy& destroy) {
    liveVehicle(destroy.vehicle, "destroys").destroyed = destroy.tick;
    live_[destroy.vehicle] = false;
}

void RideBuilder::take(const TraceEnd& end) {
    ride_.restored = end.restored;
    ride_.log = end.log;
}

// A vehicle created again starts afresh, in the place of its first creation.
RideVehicle& RideBuilder::createdVehicle(const std::string& name) {
    const auto [at, added] = index_.emplace(name, ride_.vehicles.size());
    if (added) ride_.vehicles.emplace_back();
    RideVehicle& vehicle = ride_.vehicles[at->second];
    vehicle = RideVehicle{};
    return vehicle;
}

RideVehicle& RideBuilder::liveVehicle(const std::string& name, const char* does) {
    const auto live = live_.find(name);
    if (live == live_.end() || !live->second) {
        throw RideError(std::string("the trace ") + does + " vehicle \"" + name +
                        "\", which is not alive: not created, or destroyed already");
    }
    return ride_.vehicles[index_.at(name)];
}

Ride readRide(std::string_view traceText, std::string_view fileName) {
    TraceReader trace(traceText, fileName);
    RideBuilder builder;
    while (const auto line = trace.next()) {
        try {
            std::visit([&builder](const auto& l) { builder.take(l); }, *line);
        } catch (const RideError& error) {
            trace.fail(error.what());
        }
    }
    return builder.release();
}

bool isShown(const RideVehicle& vehicle, int frame) {
    const RideFrame& f = vehicle.frames[static_cast<std::size_t>(frame)];
    for (int i = 0; i < f.objects; ++i) {
        if (vehicle.flags[static_cast<std::size_t>(f.firstObject + i)] & host::renderFlag)
            return true;
    }
    return false;
}

}  // namespace sim::report
