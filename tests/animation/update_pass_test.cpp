// The walk of the update pass, seen through recording animators: which frames reach the nine
// animators, in which order, with which arguments, and that a failing animator stops nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "animation/update_pass.h"
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
using recording::Failure;

HostFrame* host(SimFrame* frame) { return reinterpret_cast<HostFrame*>(frame); }

class Walk : public testing::Test {
protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(4);
        hostsim::hostCallLog().clear();
        recording::recorder() = {};
        vehicle = hostsim::vehicleInSlot(0);
        otherVehicle = hostsim::vehicleInSlot(3);
    }
    void TearDown() override {
        recording::recorder() = {};
        hostsim::releaseVehiclePool();
    }

    static CVehicle* asHost(hostsim::SimVehicle* v) { return reinterpret_cast<CVehicle*>(v); }
    static const std::vector<recording::AnimatorCall>& calls() { return recording::recorder().calls; }

    // The frames that reached the animators, each listed once for its run of nine calls; fails if
    // a run is incomplete, out of order, or carries other arguments than the frame's own.
    std::vector<std::string> animatedFrames(hostsim::SimVehicle* v, VXData& r) {
        std::vector<std::string> frames;
        const auto& all = calls();
        EXPECT_EQ(all.size() % 9, 0u);
        for (std::size_t i = 0; i + 9 <= all.size(); i += 9) {
            for (int k = 0; k < 9; ++k) {
                const recording::AnimatorCall& call = all[i + k];
                EXPECT_EQ(call.animator, k);
                EXPECT_EQ(call.name, all[i].name);
                EXPECT_EQ(call.frame, all[i].frame);
                EXPECT_EQ(call.record, &r);
                EXPECT_EQ(call.vehicle, asHost(v));
            }
            EXPECT_STREQ(reinterpret_cast<SimFrame*>(all[i].frame)->name, all[i].name.c_str());
            frames.push_back(all[i].name);
        }
        return frames;
    }

    hostsim::SimVehicle* vehicle = nullptr;
    hostsim::SimVehicle* otherVehicle = nullptr;
    VXData record{nullptr};
    VXData otherRecord{nullptr};
};

TEST_F(Walk, OnlyNamesBeginningWithTheExactPrefixReachTheAnimators) {
    const struct {
        const char* name;
        bool animated;
    } cases[] = {
        {"vx_", true},           {"vx_fbrake_az30", true}, {"vx_\x80\xff", true},      {"vx_vx_", true},
        {"vx_\n", true},         {"VX_fbrake", false},     {"Vx_chain", false},        {"vX_chain", false},
        {"vx-chain", false},     {"vxchain", false},       {"xvx_chain", false},       {" vx_chain", false},
        {"body_vx_chain", false}, {"vx", false},           {"v", false},               {"", false},
    };
    FrameShape root{"body", 0, false, {}};
    for (const auto& c : cases) root.children.push_back({c.name, 0, false, {{"vx_below", 0, false, {}}}});
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

    std::vector<std::string> expected;
    for (const auto& c : cases) {
        if (c.animated) expected.push_back(c.name);
        expected.push_back("vx_below");  // children are walked whatever their parent's name
    }
    EXPECT_EQ(animatedFrames(vehicle, record), expected);
}

TEST_F(Walk, FrameWithoutNameIsSkippedAndItsChildrenWalked) {
    SimModel model(FrameShape{"body", 0, false, {{"nameless", 0, false, {{"vx_child", 0, false, {}}}}, {"vx_next", 0, false, {}}}});
    model.frame(1)->name = nullptr;
    vehicle->modelObject = model.modelObject();
    updateVehicle(asHost(vehicle), record);
    EXPECT_EQ(animatedFrames(vehicle, record), (std::vector<std::string>{"vx_child", "vx_next"}));
}

TEST_F(Walk, FrameIsAnimatedBeforeItsDescendantsAndItsSubtreeBeforeItsSiblings) {
    SimModel model(FrameShape{
        "vx_root",
        0,
        false,
        {{"vx_parent",
          0,
          false,
          {{"vx_child", 0, false, {{"plain", 0, false, {{"vx_grand", 0, false, {}}}}}},
           {"VX_caps", 0, false, {{"vx_under_caps", 0, false, {}}}}}},
         {"vx_fbrake_az30_vx_cl_az10", 0, false, {}}}});
    vehicle->modelObject = model.modelObject();
    updateVehicle(asHost(vehicle), record);
    EXPECT_EQ(animatedFrames(vehicle, record),
              (std::vector<std::string>{"vx_root", "vx_parent", "vx_child", "vx_grand", "vx_under_caps",
                                        "vx_fbrake_az30_vx_cl_az10"}));
    for (const auto& call : calls()) EXPECT_EQ(call.frame, host(model.find(call.name)));
}

TEST_F(Walk, AnimatorsGetTheWholeNameOfAnyLength) {
    const std::string name = "vx_" + std::string(1000000, '9') + "_az1";
    SimModel model(FrameShape{"body", 0, false, {{name, 0, false, {}}, {"vx_after", 0, false, {}}}});
    vehicle->modelObject = model.modelObject();
    testing_support::runOnStack(testing_support::hostThreadStack, [&] { updateVehicle(asHost(vehicle), record); });
    EXPECT_EQ(animatedFrames(vehicle, record), (std::vector<std::string>{name, "vx_after"}));
}

TEST_F(Walk, FailingAnimatorStopsNeitherTheOthersNorTheWalkNorOtherVehicles) {
    SimModel model(FrameShape{"body",
                             0,
                             false,
                             {{"vx_first", 0, false, {}},
                              {"vx_<fail>_az99999999999", 0, false, {{"vx_under", 0, false, {}}}},
                              {"vx_last_<fail>", 0, false, {}}}});
    SimModel otherModel(FrameShape{"vx_other_<fail>", 0, false, {{"vx_other_child", 0, false, {}}}});
    vehicle->modelObject = model.modelObject();
    otherVehicle->modelObject = otherModel.modelObject();

    for (int animator : {0, 4, 8}) {
        for (Failure failure : {Failure::outOfRange, Failure::invalidArgument, Failure::other}) {
            SCOPED_TRACE(testing::Message() << "animator " << animator << " failure " << static_cast<int>(failure));
            recording::Recorder& recorder = recording::recorder();
            recorder = {};
            recorder.failingAnimator = animator;
            recorder.failure = failure;

            EXPECT_NO_THROW(updateVehicle(asHost(vehicle), record));
            EXPECT_EQ(animatedFrames(vehicle, record),
                      (std::vector<std::string>{"vx_first", "vx_<fail>_az99999999999", "vx_under", "vx_last_<fail>"}));

            recorder.calls.clear();
            EXPECT_NO_THROW(updateVehicle(asHost(otherVehicle), otherRecord));
            EXPECT_EQ(animatedFrames(otherVehicle, otherRecord),
                      (std::vector<std::string>{"vx_other_<fail>", "vx_other_child"}));
        }
    }
}

}  // namespace
