// The walk of the update pass, seen through recording animators: which frames reach which of the
// nine animators, in which order and with which arguments.
#include "animation/update_pass.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/sim_model.h"
#include "hostsim/vehicle_pool.h"
#include "recording_animators.h"
#include "small_stack.h"

namespace {

using hostsim::FrameShape;
using hostsim::SimFrame;
using hostsim::SimModel;

HostFrame* host(SimFrame* frame) { return reinterpret_cast<HostFrame*>(frame); }

// The keys in the pass's order: animator k of the recorder looks for keys[k].
const char* const keys[] = {"vx_chain", "vx_fbrake", "vx_rbrake", "vx_cl", "vx_gl",
                            "vx_gm",    "vx_om",     "vx_sm",     "vx_rpm"};
const std::string allKeys = "vx_chain+vx_fbrake+vx_rbrake+vx_cl+vx_gl+vx_gm+vx_om+vx_sm+vx_rpm";

// One frame's run of animator calls.
struct Animated {
    std::string name;
    std::vector<int> animators;
    bool operator==(const Animated&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Animated& a) {
    out << '"' << a.name.substr(0, 40) << "\" {";
    for (int k : a.animators) out << ' ' << k;
    return out << " }";
}

// What nine animators that each searched the name for their own key would do.
Animated bySubstringSearch(const std::string& name) {
    Animated expected{name, {}};
    for (int k = 0; k < 9; ++k) {
        if (name.find(keys[k]) != std::string::npos) expected.animators.push_back(k);
    }
    return expected;
}

class Walk : public testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(4);
        hostsim::hostCallLog().clear();
        recording::recorder() = {};
        passAnimators = &recording::animators;
        vehicle = hostsim::vehicleInSlot(0);
        otherVehicle = hostsim::vehicleInSlot(3);
    }
    void TearDown() override {
        passAnimators = &animatorTable;
        recording::recorder() = {};
        hostsim::releaseVehiclePool();
    }

    static CVehicle* asHost(hostsim::SimVehicle* v) { return reinterpret_cast<CVehicle*>(v); }
    static const std::vector<recording::AnimatorCall>& calls() {
        return recording::recorder().calls;
    }

    // The calls grouped by frame, in call order; fails if a call carries another frame's name or
    // another vehicle's arguments.
    std::vector<Animated> animatedFrames(hostsim::SimVehicle* v, VXData& r) {
        std::vector<Animated> frames;
        const recording::AnimatorCall* previous = nullptr;
        for (const recording::AnimatorCall& call : calls()) {
            EXPECT_EQ(call.record, &r);
            EXPECT_EQ(call.vehicle, asHost(v));
            EXPECT_STREQ(reinterpret_cast<SimFrame*>(call.frame)->name, call.name.c_str());
            if (previous == nullptr || previous->frame != call.frame)
                frames.push_back({call.name, {}});
            frames.back().animators.push_back(call.animator);
            previous = &call;
        }
        return frames;
    }

    hostsim::SimVehicle* vehicle = nullptr;
    hostsim::SimVehicle* otherVehicle = nullptr;
    VXData record{nullptr};
    VXData otherRecord{nullptr};
};

// Every name is also checked against nine substring searches, the rule the single scan stands in
// for.
TEST_F(Walk, AnimatorsOfTheKeysInTheNameRunInTableOrder) {
    const struct {
        const char* name;
        std::vector<int> animators;
    } cases[] = {
        {"vx_fbrake_az30", {1}},
        {"vx_cl_az10_vx_fbrake_az30", {1, 3}},  // table order, not the order in the name
        {"vx_clamp", {3}},
        {"vx_gm_vx_gl", {4, 5}},
        {"vx_rpmvx_sm", {7, 8}},
        {"vx_vx_rpm", {8}},
        {"vx_xvx_om_kph", {6}},
        {"vx_chainvx_chain", {0}},
        {"vx_rbrake", {2}},
        {"vx_sm", {7}},
        {"vx_", {}},
        {"vx_chai", {}},
        {"vx_rbrak", {}},
        {"vx_rp", {}},
        {"vx_vx", {}},
        {"vx_vx_", {}},
        {"vx_v", {}},
        {"vx_FBRAKE", {}},
        {"vx_ cl", {}},
        {"vx_\x80\xff", {}},
        {"vx_\nvx_gl", {4}},
        {"VX_fbrake", {}},
        {"Vx_chain", {}},
        {"vX_chain", {}},
        {"vx-chain", {}},
        {"body_vx_chain", {}},
        {" vx_chain", {}},
        {"vx", {}},
        {"", {}},
    };
    FrameShape root{"body", 0, false, {}};
    for (const auto& c : cases)
        root.children.push_back({c.name, 0, false, {{"vx_sm", 0, false, {}}}});
    root.children.push_back({allKeys, 0, false, {}});
    SimModel model(root);
    // The host's texts end right after their terminating zero, so that reading past it is caught
    // by the address sanitizer.
    std::vector<std::unique_ptr<char[]>> texts;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::size_t size = std::strlen(cases[i].name) + 1;
        texts.push_back(std::make_unique<char[]>(size));
        std::memcpy(texts.back().get(), cases[i].name, size);
        model.frame(1 + 2 * i)->name = texts.back().get();
    }
    vehicle->modelObject = model.modelObject();

    updateVehicle(asHost(vehicle), record);

    std::vector<Animated> expected;
    for (const auto& c : cases) {
        if (std::strncmp(c.name, "vx_", 3) == 0) {
            EXPECT_EQ(bySubstringSearch(c.name).animators, c.animators) << c.name;
            if (!c.animators.empty()) expected.push_back({c.name, c.animators});
        }
        expected.push_back({"vx_sm", {7}});  // children are walked whatever their parent's name
    }
    expected.push_back({allKeys, {0, 1, 2, 3, 4, 5, 6, 7, 8}});
    EXPECT_EQ(animatedFrames(vehicle, record), expected);
}

// Names made of key fragments, prefixes and letters that keys share, many with several keys.
TEST_F(Walk, SingleScanFindsWhatNineSubstringSearchesFind) {
    const char* const pieces[] = {"vx_", "vx_", "vx_", "chain", "cl",  "fbrake", "rbrake",
                                  "gl",  "gm",  "om",  "sm",    "rpm", "chai",   "rbrak",
                                  "rp",  "v",   "vx",  "x_",    "_",   "m"};
    std::mt19937 random(20240611);
    FrameShape root{"body", 0, false, {}};
    std::vector<Animated> expected;
    for (int i = 0; i < 2000; ++i) {
        std::string name = "vx_";
        const int count = static_cast<int>(random() % 10);
        for (int p = 0; p < count; ++p) name += pieces[random() % std::size(pieces)];
        root.children.push_back({name, 0, false, {}});
        const Animated oracle = bySubstringSearch(name);
        if (!oracle.animators.empty()) expected.push_back(oracle);
    }
    SimModel model(root);
    vehicle->modelObject = model.modelObject();
    updateVehicle(asHost(vehicle), record);
    EXPECT_EQ(animatedFrames(vehicle, record), expected);
}

TEST_F(Walk, FrameWithoutNameIsSkippedAndItsChildrenWalked) {
    SimModel model(
        FrameShape{"body",
                   0,
                   false,
                   {{"nameless", 0, false, {{"vx_gm", 0, false, {}}}}, {"vx_gl", 0, false, {}}}});
    model.frame(1)->name = nullptr;
    vehicle->modelObject = model.modelObject();
    updateVehicle(asHost(vehicle), record);
    EXPECT_EQ(animatedFrames(vehicle, record),
              (std::vector<Animated>{{"vx_gm", {5}}, {"vx_gl", {4}}}));
}

TEST_F(Walk, FrameIsAnimatedBeforeItsDescendantsAndItsSubtreeBeforeItsSiblings) {
    SimModel model(FrameShape{
        "vx_om",
        0,
        false,
        {{"vx_sm_parent",
          0,
          false,
          {{"vx_cl_child", 0, false, {{"plain", 0, false, {{"vx_gm_grand", 0, false, {}}}}}},
           {"VX_caps", 0, false, {{"vx_rpm_under_caps", 0, false, {}}}}}},
         {"vx_fbrake_az30_vx_cl_az10", 0, false, {}}}});
    vehicle->modelObject = model.modelObject();
    updateVehicle(asHost(vehicle), record);
    EXPECT_EQ(animatedFrames(vehicle, record),
              (std::vector<Animated>{{"vx_om", {6}},
                                     {"vx_sm_parent", {7}},
                                     {"vx_cl_child", {3}},
                                     {"vx_gm_grand", {5}},
                                     {"vx_rpm_under_caps", {8}},
                                     {"vx_fbrake_az30_vx_cl_az10", {1, 3}}}));
    for (const auto& call : calls()) EXPECT_EQ(call.frame, host(model.find(call.name)));
}

TEST_F(Walk, KeysAnywhereInANameOfAnyLengthAreFound) {
    const std::string name = "vx_" + std::string(1000000, 'v') + "vx_rpm_az1";
    SimModel model(FrameShape{"body", 0, false, {{name, 0, false, {}}, {"vx_gl", 0, false, {}}}});
    vehicle->modelObject = model.modelObject();
    testing_support::runOnStack(testing_support::hostThreadStack,
                                [&] { updateVehicle(asHost(vehicle), record); });
    EXPECT_EQ(animatedFrames(vehicle, record),
              (std::vector<Animated>{{name, {8}}, {"vx_gl", {4}}}));
}

}  // namespace
