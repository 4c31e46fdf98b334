#include "sim/running/scene_runner.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/library_loader.h"
#include "hostsim/site_calls.h"
#include "hostsim/vehicle_pool.h"
#include "sim/running/render_inputs.h"

namespace sim {

namespace {

struct LiveVehicle {
    std::unique_ptr<hostsim::SimModel> model;
    hostsim::SimVehicle* object = nullptr;
    std::uint32_t renders = 0;
};

// Depth-first pre-order, as the trace numbers frames.
void collectFrames(const hostsim::FrameShape& shape, int parent, std::vector<TraceFrame>& frames) {
    const int index = static_cast<int>(frames.size());
    frames.push_back({shape.name, parent, shape.objects,
                      shape.hidden ? hostsim::hiddenObjectFlags : hostsim::shownObjectFlags});
    for (const hostsim::FrameShape& child : shape.children) collectFrames(child, index, frames);
}

void apply(const VehicleFields& fields, hostsim::SimVehicle& v) {
    auto copy = [](const auto& from, float* to) {
        std::memcpy(to, from.data(), sizeof(float) * from.size());
    };
    if (fields.moveSpeed) copy(*fields.moveSpeed, v.moveSpeed);
    if (fields.wheelSpeed) copy(*fields.wheelSpeed, v.wheelSpeed);
    if (fields.bikeWheelSpeed) copy(*fields.bikeWheelSpeed, v.bikeWheelSpeed);
    if (fields.vehicleFlags) v.vehicleFlags = *fields.vehicleFlags;
    if (fields.driveInput) v.driveInput = *fields.driveInput;
    if (fields.rearBrakeInput) v.rearBrakeInput = *fields.rearBrakeInput;
    if (fields.currentGear) v.currentGear = *fields.currentGear;
    if (fields.travelCounter) v.travelCounter = *fields.travelCounter;
    if (fields.bikeTravelCounter) v.bikeTravelCounter = *fields.bikeTravelCounter;
}

// The log's lines, each without its line end (LF, or CR LF as the Windows runtime writes it).
std::vector<std::string> readLog() {
    std::vector<std::string> lines;
    std::ifstream in(libraryLogFile, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class Runner {
  public:
    Runner(const Scene& scene, TraceSink& trace)
        : scene_(scene), trace_(trace), live_(scene.vehicles.size()) {}

    void run(const RunOptions& options) {
        // The image must be in place before the library's start-up code looks at it.
        hostsim::layOutHostImage(scene_.hostVersion);
        for (const SceneVehicle& v : scene_.vehicles) {
            hostsim::setWheelScales(v.modelIndex, v.wheelScales[0], v.wheelScales[1]);
        }
        hostsim::timeStepVariable() = scene_.timeStep;
        hostsim::timeCounterVariable() = scene_.counterStart;
        hostsim::hostCallLog().recording = true;
        hostsim::hostCallLog().clear();
        // A log left by an earlier run must not pass for this run's.
        std::remove(libraryLogFile);

        hostsim::LoadedLibrary library;
        std::string error;
        if (!library.load(options.libraryPath, error))
            throw LoadError("cannot load the library: " + error);
        trace_.take(TraceStart{scene_.hostVersion, hostsim::patchedSites(), scene_.ticks});
        hostsim::createPoolThroughSite(scene_.poolSize);

        std::size_t nextEntry = 0;
        for (std::uint32_t tick = 0; tick < scene_.ticks; ++tick) {
            if (tick > 0)
                hostsim::timeCounterVariable() += scene_.counterStep;  // wraps modulo 2^32
            for (std::size_t i = 0; i < live_.size(); ++i) {
                const SceneVehicle& v = scene_.vehicles[i];
                if (live_[i].object && v.despawnTick && *v.despawnTick == tick) destroy(i, tick);
            }
            for (std::size_t i = 0; i < live_.size(); ++i) {
                if (scene_.vehicles[i].spawnTick == tick) spawn(i, tick);
            }
            for (; nextEntry < scene_.timeline.size() && scene_.timeline[nextEntry].tick == tick;
                 ++nextEntry) {
                applyEntry(scene_.timeline[nextEntry]);
            }
            for (std::size_t i = 0; i < live_.size(); ++i) {
                if (live_[i].object) render(i, tick);
            }
            if (options.progress) options.progress(tick + 1, scene_.ticks);
        }
        for (std::size_t i = 0; i < live_.size(); ++i) {
            if (live_[i].object) destroy(i, scene_.ticks);
        }

        library.unload();
        bool restored = true;
        for (std::uint32_t site : hostsim::allSites) {
            restored =
                restored && hostsim::currentSiteBytes(site) == hostsim::originalSiteBytes(site);
        }
        trace_.take(TraceEnd{restored, readLog()});
        hostsim::releaseVehiclePool();
    }

  private:
    void spawn(std::size_t index, std::uint32_t tick) {
        const SceneVehicle& v = scene_.vehicles[index];
        LiveVehicle& live = live_[index];
        live.model = std::make_unique<hostsim::SimModel>(v.model);
        live.object = hostsim::vehicleInSlot(v.slot);
        live.renders = 0;
        std::memset(static_cast<void*>(live.object), 0,
                    sizeof(hostsim::SimVehicle));  // every field starts at 0
        live.object->modelObject = live.model->modelObject();
        live.object->modelIndex = v.modelIndex;
        live.object->vehicleSubclass = v.vehicleClass;
        hostsim::constructThroughSite(live.object);
        TraceCreate create{tick, v.name, v.slot, v.vehicleClass, {}};
        collectFrames(v.model, -1, create.frames);
        trace_.take(create);
    }

    void destroy(std::size_t index, std::uint32_t tick) {
        const SceneVehicle& v = scene_.vehicles[index];
        LiveVehicle& live = live_[index];
        hostsim::destroyThroughSite(live.object);
        std::memset(static_cast<void*>(live.object), 0, sizeof(hostsim::SimVehicle));
        live.object = nullptr;
        live.model.reset();
        trace_.take(TraceDestroy{tick, v.name, v.slot});
    }

    void applyEntry(const TimelineEntry& entry) {
        if (entry.vehicle < 0) {
            if (entry.timeStep) hostsim::timeStepVariable() = *entry.timeStep;
            if (entry.timeCounter) hostsim::timeCounterVariable() = *entry.timeCounter;
            return;
        }
        apply(entry.fields, *live_[static_cast<std::size_t>(entry.vehicle)].object);
    }

    void render(std::size_t index, std::uint32_t tick) {
        const SceneVehicle& v = scene_.vehicles[index];
        LiveVehicle& live = live_[index];
        const bool jump = v.renderSite == RenderSite::jump ||
                          (v.renderSite == RenderSite::alternate && live.renders % 2 == 1);
        ++live.renders;

        render_.tick = tick;
        render_.vehicle = v.name;
        render_.site = jump ? RenderSite::jump : RenderSite::call;
        render_.inputs = renderInputsOf(*live.object);

        hostsim::HostCallLog& calls = hostsim::hostCallLog();
        calls.clear();
        const std::vector<std::uint8_t> before = live.model->flagSnapshot();
        hostsim::renderThroughSite(live.object,
                                   jump ? hostsim::RenderSite::jump : hostsim::RenderSite::call);

        render_.rotations.clear();
        for (const hostsim::RotationCall& call : calls.rotations) {
            render_.rotations.push_back({frameIndex(live, call.frame), call.axis, call.angle});
        }
        render_.updates.clear();
        for (hostsim::SimFrame* frame : calls.updates) {
            render_.updates.push_back(frameIndex(live, frame));
        }
        render_.flags = live.model->flagChangesSince(before);
        trace_.take(render_);
    }

    // A frame of another model than the rendered vehicle's would be a fault of the library; it
    // shows as -1 instead of an index that means something else.
    static int frameIndex(const LiveVehicle& live, const hostsim::SimFrame* frame) {
        const auto first = reinterpret_cast<std::uintptr_t>(live.model->frame(0));
        const auto at = reinterpret_cast<std::uintptr_t>(frame);
        if (at < first || (at - first) % sizeof(hostsim::SimFrame) != 0) return -1;
        const std::size_t index = (at - first) / sizeof(hostsim::SimFrame);
        return index < live.model->frameCount() ? static_cast<int>(index) : -1;
    }

    const Scene& scene_;
    TraceSink& trace_;
    std::vector<LiveVehicle> live_;
    TraceRender render_;  // reused from render to render
};

}  // namespace

void runScene(const Scene& scene, const RunOptions& options, TraceSink& trace) {
    Runner(scene, trace).run(options);
}

}  // namespace sim
