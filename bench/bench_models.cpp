#include "bench_models.h"

#include "animation/update_pass.h"
#include "host/host_interface.h"
#include "hostsim/host_image.h"
#include "hostsim/vehicle_pool.h"

namespace bench {

namespace {

hostsim::FrameShape frame(const char* name, std::vector<hostsim::FrameShape> children = {}) {
    return hostsim::FrameShape{name, 1, false, std::move(children)};
}

std::vector<hostsim::FrameShape> plainChildren(const char* stem, int count) {
    std::vector<hostsim::FrameShape> children;
    for (int i = 0; i < count; ++i)
        children.push_back(frame((std::string(stem) + std::to_string(i)).c_str()));
    return children;
}

}  // namespace

hostsim::FrameShape referenceBike() {
    std::vector<hostsim::FrameShape> parts = {
        frame("vx_chain", plainChildren("chain_links_", 3)),
        frame("vx_fbrake_az-30"),
        frame("vx_fbrake_az-30_mirror"),
        frame("vx_rbrake_ax25"),
        frame("vx_cl_az20"),
        frame("vx_gl_o12"),
        frame("vx_gm", plainChildren("gear_display_", 6)),
        frame("vx_om_kph", plainChildren("odometer_wheel_", 6)),
        frame("vx_sm_m220_r270"),
        frame("vx_sm_m220_r270_trip"),
        frame("vx_rpm_m80_270"),
        frame("vx_rpm_m80_270_shadow"),
    };
    // 1 root + 12 component frames + 15 of their children; the rest is ordinary geometry.
    for (int i = 0; i < 32; ++i) parts.push_back(frame(("body_part_" + std::to_string(i)).c_str()));
    return frame("bike", std::move(parts));
}

hostsim::FrameShape generatedModel(int frameCount) {
    static const char* const components[] = {"vx_chain",   "vx_fbrake_az-30", "vx_rbrake_ax25",
                                             "vx_cl_az20", "vx_gl_o12",       "vx_gm",
                                             "vx_om",      "vx_sm_m220_r270", "vx_rpm_m80_270"};
    std::vector<hostsim::FrameShape> parts;
    for (int i = 1; i < frameCount; ++i) {
        parts.push_back(i % 5 == 0 ? frame(components[(i / 5) % 9])
                                   : frame(("part_" + std::to_string(i)).c_str()));
    }
    return frame("model", std::move(parts));
}

Fleet::Fleet(const hostsim::FrameShape& model, int vehicles) {
    hostsim::layOutHostImage(1001);
    hostsim::createVehiclePool(static_cast<std::uint32_t>(vehicles));
    for (int i = 0; i < vehicles; ++i) {
        models_.push_back(std::make_unique<hostsim::SimModel>(model));
        hostsim::SimVehicle* v = hostsim::vehicleInSlot(static_cast<std::uint32_t>(i));
        v->modelObject = models_.back()->modelObject();
        v->modelIndex = 522;
        v->vehicleSubclass = 9;
        vehicles_.push_back(v);
        records_.push_back(std::make_unique<VXData>(reinterpret_cast<CVehicle*>(v)));
    }
}

Fleet::~Fleet() { hostsim::releaseVehiclePool(); }

void Fleet::driveInputs(int pass) {
    for (hostsim::SimVehicle* v : vehicles_) {
        const float wheel = -1.0f - static_cast<float>(pass % 200) * 0.02f;
        v->bikeWheelSpeed[0] = v->bikeWheelSpeed[1] = wheel;
        v->bikeTravelCounter -= wheel * 40.0f;
        v->currentGear = static_cast<std::uint8_t>(1 + (pass / 40) % 5);
        v->vehicleFlags = (pass / 25) % 2 ? 0x30 : 0x00;
        v->rearBrakeInput = (pass / 30) % 2 ? 1.0f : 0.0f;
        v->driveInput = 1.0f;
    }
}

void Fleet::startTick(int pass) {
    advanceClock(pass);
    driveInputs(pass);
}

void Fleet::updateAll() {
    for (std::size_t i = 0; i < size(); ++i) updateVehicle(vehicle(i), record(i));
}

int Fleet::warmUp() {
    constexpr int configuringPasses = 3;
    for (int pass = 0; pass < configuringPasses; ++pass) {
        startTick(pass);
        updateAll();
    }
    return configuringPasses;
}

void advanceClock(int pass) {
    hostsim::timeStepVariable() = 1.0f;
    hostsim::timeCounterVariable() = 1000u + static_cast<std::uint32_t>(pass) * 16u;
}

std::uint32_t walkNamesOnly(HostFrame* frame) {
    std::uint32_t prefixed = 0;
    for (; frame != nullptr; frame = host::nextSibling(frame)) {
        const char* name = host::frameGetNodeName(frame);
        prefixed += name[0] == 'v' && name[1] == 'x' && name[2] == '_';
        if (HostFrame* child = host::firstChild(frame)) prefixed += walkNamesOnly(child);
    }
    return prefixed;
}

}  // namespace bench
