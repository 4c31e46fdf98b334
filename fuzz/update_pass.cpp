// Whole update passes through the real animators on the substitute host, with a model and host
// inputs decoded from the input: no crash, no undefined behaviour, and once the components have
// configured, no heap allocation in a pass.
//
// The input is text, so that seeds can be written by hand:
//   - the model, one frame per line, the root first: a line's leading spaces give the frame's depth
//     (at most one deeper than the line before), the rest is its name; a frame carries as many
//     objects as its name's length modulo 3;
//   - optionally a line "--", then bytes: the classes of the two vehicles (one signed byte each),
//     then one PassInputs record per pass. Passes without a record get inputs that keep every
//     component moving.
#include "animation/update_pass.h"

#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "animation/component_state.h"
#include "animation/name_parameters.h"
#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/sim_model.h"
#include "hostsim/vehicle_pool.h"

namespace {

constexpr std::size_t mostFrames = 512;
constexpr int fewestPasses = 8;
constexpr int mostPasses = 64;

// Little-endian, packed, as read from the input.
struct PassInputs {
    std::uint32_t timeCounter;
    float timeStep;
    float speed;   // every wheel speed and the move vector's first component
    float travel;  // both travel counters
    float rearBrakeInput;
    float driveInput;
    std::uint8_t currentGear;
    std::uint8_t vehicleFlags;
};
constexpr std::size_t passInputsSize = 26;

PassInputs readPassInputs(const char* bytes) {
    PassInputs in;
    std::memcpy(&in.timeCounter, bytes, 4);
    std::memcpy(&in.timeStep, bytes + 4, 4);
    std::memcpy(&in.speed, bytes + 8, 4);
    std::memcpy(&in.travel, bytes + 12, 4);
    std::memcpy(&in.rearBrakeInput, bytes + 16, 4);
    std::memcpy(&in.driveInput, bytes + 20, 4);
    in.currentGear = static_cast<std::uint8_t>(bytes[24]);
    in.vehicleFlags = static_cast<std::uint8_t>(bytes[25]);
    return in;
}

PassInputs movingInputs(int pass) {
    const float p = static_cast<float>(pass);
    return {1000u + 16u * static_cast<std::uint32_t>(pass),
            1.0f,
            -1.0f - 0.3f * p,
            40.0f * p * p,
            static_cast<float>(pass % 3 != 0),
            1.0f,
            static_cast<std::uint8_t>(1 + pass / 3 % 5),
            static_cast<std::uint8_t>(pass % 2 ? 0x30 : 0x00)};
}

struct Decoded {
    hostsim::FrameShape root;
    std::vector<std::string> componentNames;  // names as the host returns them, "vx_" frames only
    std::int32_t vehicleClasses[2] = {9, 0};
    std::vector<PassInputs> passes;
};

Decoded decode(std::string_view input) {
    Decoded d;
    std::string_view model = input, inputs;
    if (input.substr(0, 3) == "--\n") {
        model = {}, inputs = input.substr(3);
    } else if (const std::size_t split = input.find("\n--\n"); split != std::string_view::npos) {
        model = input.substr(0, split), inputs = input.substr(split + 4);
    }

    std::vector<hostsim::FrameShape*> path;  // the open frame at each depth, root first
    for (std::size_t at = 0, frames = 0; at <= model.size() && frames < mostFrames; ++frames) {
        const std::size_t end = std::min(model.find('\n', at), model.size());
        std::string_view line = model.substr(at, end - at);
        at = end + 1;
        const std::size_t spaces = std::min(line.find_first_not_of(' '), line.size());
        line.remove_prefix(spaces);
        hostsim::FrameShape shape{std::string(line), static_cast<int>(line.size() % 3), false, {}};
        if (path.empty()) {
            d.root = std::move(shape);
            path.push_back(&d.root);
        } else {
            // Only the deepest open frame gains children, so the pointers to its ancestors stay
            // valid.
            path.resize(std::clamp<std::size_t>(spaces, 1, path.size()));
            path.back()->children.push_back(std::move(shape));
            path.push_back(&path.back()->children.back());
        }
        const std::string hostName(path.back()->name.c_str());
        if (hostName.rfind("vx_", 0) == 0) d.componentNames.push_back(hostName);
    }

    if (inputs.size() >= 2) {
        d.vehicleClasses[0] = static_cast<std::int8_t>(inputs[0]);
        d.vehicleClasses[1] = static_cast<std::int8_t>(inputs[1]);
        inputs.remove_prefix(2);
    }
    for (; inputs.size() >= passInputsSize && d.passes.size() < mostPasses;
         inputs.remove_prefix(passInputsSize)) {
        d.passes.push_back(readPassInputs(inputs.data()));
    }
    for (int pass = static_cast<int>(d.passes.size()); pass < fewestPasses; ++pass)
        d.passes.push_back(movingInputs(pass));
    return d;
}

void applyInputs(hostsim::SimVehicle& v, const PassInputs& in) {
    hostsim::timeCounterVariable() = in.timeCounter;
    hostsim::timeStepVariable() = in.timeStep;
    v.bikeWheelSpeed[0] = v.bikeWheelSpeed[1] = in.speed;
    std::fill(std::begin(v.wheelSpeed), std::end(v.wheelSpeed), in.speed);
    v.moveSpeed[0] = in.speed;
    v.bikeTravelCounter = v.travelCounter = in.travel;
    v.rearBrakeInput = in.rearBrakeInput;
    v.driveInput = in.driveInput;
    v.currentGear = in.currentGear;
    v.vehicleFlags = in.vehicleFlags;
}

std::uint64_t& allocations() {
    static std::uint64_t count = 0;
    return count;
}

void countAllocation(const volatile void*, std::size_t) { ++allocations(); }
void ignoreRelease(const volatile void*) {}

// A gauge whose parameter cannot be converted configures again on every pass, by design; that
// pass is not an ordinary one.
bool stillConfiguring(const VXData& record, const std::vector<std::string>& names) {
    const auto present = [&](std::string_view key) {
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return nameHasKey(n, key); });
    };
    return (!record.speedometer.speedometerReady && present("vx_sm")) ||
           (!record.revCounter.revCounterReady && present("vx_rpm"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    hostsim::layOutHostImage(1001);
    // The host's own call records are the substitute host's bookkeeping, not the library's work.
    hostsim::hostCallLog().recording = false;
    __sanitizer_install_malloc_and_free_hooks(countAllocation, ignoreRelease);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Decoded d = decode(std::string_view(reinterpret_cast<const char*>(data), size));

    hostsim::createVehiclePool(3);
    const std::uint32_t slots[2] = {0, 2};
    std::unique_ptr<hostsim::SimModel> models[2];
    std::unique_ptr<VXData> records[2];
    for (int i = 0; i < 2; ++i) {
        models[i] = std::make_unique<hostsim::SimModel>(d.root);
        hostsim::SimVehicle* v = hostsim::vehicleInSlot(slots[i]);
        v->modelObject = models[i]->modelObject();
        v->vehicleSubclass = d.vehicleClasses[i];
        records[i] = std::make_unique<VXData>(reinterpret_cast<CVehicle*>(v));
    }

    for (std::size_t pass = 0; pass < d.passes.size(); ++pass) {
        bool ordinary = pass > 0;
        for (const auto& record : records)
            ordinary = ordinary && !stillConfiguring(*record, d.componentNames);
        const std::uint64_t before = allocations();
        for (int i = 0; i < 2; ++i) {
            hostsim::SimVehicle* v = hostsim::vehicleInSlot(slots[i]);
            applyInputs(*v, d.passes[pass]);
            updateVehicle(reinterpret_cast<CVehicle*>(v), *records[i]);
        }
        if (ordinary && allocations() != before) {
            std::fprintf(stderr, "pass %zu allocated %llu times\n", pass,
                         static_cast<unsigned long long>(allocations() - before));
            std::abort();
        }
    }

    for (auto& record : records) record.reset();
    hostsim::releaseVehiclePool();
    return 0;
}
