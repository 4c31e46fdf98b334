// The update pass with the library's own animators: the pass inputs, which vehicles are walked,
// and the order and reach of the walk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "animation/update_pass.h"
#include "hostsim/host_calls.h"
#include "hostsim/host_functions.h"
#include "hostsim/host_image.h"
#include "hostsim/memory_protection.h"
#include "hostsim/sim_model.h"
#include "hostsim/vehicle_pool.h"
#include "small_stack.h"

namespace {

using hostsim::FrameShape;
using hostsim::SimFrame;
using hostsim::SimModel;

constexpr std::int32_t int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t uint32Max = std::numeric_limits<std::uint32_t>::max();
const float nan = std::numeric_limits<float>::quiet_NaN();
const float infinity = std::numeric_limits<float>::infinity();

TEST(PassInputs, SpeedIsTruncatedTowardZeroAndSaturates) {
    const struct {
        double estimate;
        std::int32_t expected;
    } cases[] = {
        {179.99999523162842, 179},
        {-75.91836586935928, -75},
        {0.9999, 0},
        {-0.9999, 0},
        {-0.0, 0},
        {2147483647.9, int32Max},
        {2147483648.0, int32Max},
        {1e10, int32Max},
        {infinity, int32Max},
        {-2147483648.9, int32Min},
        {-2147483649.0, int32Min},
        {-1e300, int32Min},
        {-infinity, int32Min},
        {std::nan(""), 0},
        {-std::nan(""), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(passSpeedFrom(c.estimate), c.expected) << c.estimate;
}

TEST(PassInputs, TimeIsTheCounterAsAFloatTimesTheStep) {
    const struct {
        std::uint32_t counter;
        float step;
        std::uint32_t expected;
    } cases[] = {
        {0, 1.0f, 0},
        {100, 1.0f, 100},
        {16777216, 1.0f, 16777216},
        // Above 2^24 the counter loses low bits as a float (nearest, ties to even).
        {16777217, 1.0f, 16777216},
        {16777219, 1.0f, 16777220},
        {16777221, 1.0f, 16777220},
        {1000, 0.5f, 500},
        {3, 0.5f, 1},
        {1, 0.999f, 0},
        {100, 0.0f, 0},
        {4000000000u, 1.0f, 4000000000u},
        {uint32Max, 0.5f, 2147483648u},
        // Host values outside the range of the result saturate; not-a-number gives 0.
        {uint32Max, 1.0f, uint32Max},
        {3000000000u, 2.0f, uint32Max},
        {1000, infinity, uint32Max},
        {100, -0.5f, 0},
        {100, -1.0f, 0},
        {1000, -infinity, 0},
        {1000, nan, 0},
        {0, infinity, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passTimeFrom(c.counter, c.step), c.expected) << c.counter << " x " << c.step;
}

class UpdatePass : public testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(4);
        hostsim::hostCallLog().clear();
        vehicle = hostsim::vehicleInSlot(2);
        vehicle->vehicleSubclass = 3;
        vehicle->moveSpeed[0] = 1.0f;
        hostsim::timeStepVariable() = 1.0f;
        hostsim::timeCounterVariable() = 0;
    }
    void TearDown() override { hostsim::releaseVehiclePool(); }

    void use(SimModel& model) { vehicle->modelObject = model.modelObject(); }
    void update() { updateVehicle(reinterpret_cast<CVehicle*>(vehicle), record); }

    std::vector<std::string> queriedNames() const {
        std::vector<std::string> names;
        for (const SimFrame* frame : hostsim::hostCallLog().nameQueries)
            names.emplace_back(frame->name);
        return names;
    }

    hostsim::SimVehicle* vehicle = nullptr;
    VXData record{nullptr};
};

TEST_F(UpdatePass, InputsAreRefreshedOnEveryPassWithoutComponentFrames) {
    SimModel model(
        FrameShape{"body", 1, false, {{"wheel", 1, false, {}}, {"VX_chain", 1, false, {}}}});
    use(model);
    const struct {
        std::uint32_t counter;
        float step;
        float moveSpeed;
        std::int32_t speed;
        std::uint32_t time;
    } passes[] = {
        {1000, 0.75f, 1.0f, 179, 750},
        {1001, 1.0f, 0.5f, 89, 1001},
        {1002, 1.0f, 0.0f, 0, 1002},
    };
    for (const auto& p : passes) {
        hostsim::timeCounterVariable() = p.counter;
        hostsim::timeStepVariable() = p.step;
        vehicle->moveSpeed[0] = p.moveSpeed;
        update();
        EXPECT_EQ(record.passTimeStep, p.step);
        EXPECT_EQ(record.passSpeed, p.speed);
        EXPECT_EQ(record.passTime, p.time);
    }
    EXPECT_TRUE(hostsim::hostCallLog().rotations.empty());
}

TEST_F(UpdatePass, TimeStepIsCopiedBitForBit) {
    SimModel model(FrameShape{"body", 0, false, {}});
    use(model);
    for (std::uint32_t bits :
         {0x3F800000u, 0x80000000u, 0x00000001u, 0x7FC12345u, 0x7F800001u, 0xFF800000u}) {
        // Through memory only: a float value passed around in an x87 register loses its signalling
        // bit.
        std::memcpy(&hostsim::timeStepVariable(), &bits, sizeof bits);
        update();
        std::uint32_t copied;
        std::memcpy(&copied, &record.passTimeStep, sizeof copied);
        EXPECT_EQ(copied, bits) << std::hex << bits;
    }
}

TEST_F(UpdatePass, TimeFollowsTheCurrentStepAndCanFall) {
    SimModel model(FrameShape{"body", 0, false, {}});
    use(model);
    hostsim::timeCounterVariable() = 1000;
    update();
    EXPECT_EQ(record.passTime, 1000u);
    const std::uint32_t stored = record.passTime;

    hostsim::timeCounterVariable() = 1010;
    hostsim::timeStepVariable() = 0.5f;
    update();
    EXPECT_EQ(record.passTime, 505u);
    EXPECT_EQ(record.passTime - stored, 4294966801u);  // an interval test against it passes at once

    // Above 2^24 the time advances in steps of 2 at a step factor of 1.
    hostsim::timeStepVariable() = 1.0f;
    std::vector<std::uint32_t> times;
    for (std::uint32_t counter = 16777216; counter < 16777221; ++counter) {
        hostsim::timeCounterVariable() = counter;
        update();
        times.push_back(record.passTime);
    }
    EXPECT_EQ(times,
              (std::vector<std::uint32_t>{16777216, 16777216, 16777218, 16777220, 16777220}));
}

// A host whose functions move the time step while the speed estimate calls them.
float stepSetByHost = 0.0f;
extern "C" hostsim::SimModelInfo* lookupMovingTheStep(std::uint32_t index) {
    hostsim::timeStepVariable() = stepSetByHost;
    return hostsim::simModelInfoLookup(index);
}
__attribute__((thiscall)) float magnitudeMovingTheStep(const float* vector) {
    hostsim::timeStepVariable() = stepSetByHost;
    return hostsim::simVectorMagnitude(vector);
}

// Points the jump at a host function's address to another function.
void divertHostFunction(std::uint32_t hostAddress, const void* function) {
    const auto at =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hostsim::inImage(hostAddress)));
    const std::uint32_t page = at & ~0xFFFu;
    const auto displacement =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(function) - (at + 5));
    hostsim::protectPages(page, page + 0x2000, hostsim::Protection::executeReadWrite);
    std::memcpy(hostsim::inImage(hostAddress + 1), &displacement, sizeof displacement);
    hostsim::protectPages(page, page + 0x2000, hostsim::Protection::executeRead);
}

// The pass copies the step it finds before the speed estimate, and forms its time with the step it
// finds after.
TEST_F(UpdatePass, TimeUsesTheStepThatTheHostSetDuringTheSpeedEstimate) {
    const struct {
        const char* what;
        std::uint32_t function;
        const void* replacement;
        std::int32_t vehicleClass;
    } cases[] = {
        {"model information", hostsim::address::modelInfoLookup,
         reinterpret_cast<const void*>(&lookupMovingTheStep), 0},
        {"model information", hostsim::address::modelInfoLookup,
         reinterpret_cast<const void*>(&lookupMovingTheStep), 9},
        {"vector length", hostsim::address::vectorMagnitude,
         reinterpret_cast<const void*>(&magnitudeMovingTheStep), 3},
    };
    SimModel model(FrameShape{"body", 0, false, {}});
    use(model);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::layOutHostImage(1001);
        divertHostFunction(c.function, c.replacement);
        vehicle->vehicleSubclass = c.vehicleClass;
        hostsim::timeCounterVariable() = 1000;
        hostsim::timeStepVariable() = 1.0f;
        stepSetByHost = 0.5f;
        update();
        EXPECT_EQ(record.passTimeStep, 1.0f);
        EXPECT_EQ(record.passTime, 500u);
        EXPECT_EQ(hostsim::timeStepVariable(), 0.5f) << "the host function was not reached";
    }
}

TEST_F(UpdatePass, SignedSpeedOfWheeledClasses) {
    SimModel model(FrameShape{"body", 0, false, {}});
    use(model);
    vehicle->vehicleSubclass = 9;
    vehicle->bikeWheelSpeed[0] = vehicle->bikeWheelSpeed[1] = 1.0f;
    update();
    EXPECT_EQ(record.passSpeed, -75);
}

TEST_F(UpdatePass, VehicleWithoutModelObjectOrRootFrameGetsInputsAndNoWalk) {
    hostsim::SimModelObject emptyModel{};
    for (hostsim::SimModelObject* modelObject :
         {static_cast<hostsim::SimModelObject*>(nullptr), &emptyModel}) {
        vehicle->modelObject = modelObject;
        hostsim::timeCounterVariable() += 10;
        record.passSpeed = -1;
        update();
        EXPECT_EQ(record.passTime, hostsim::timeCounterVariable());
        EXPECT_EQ(record.passSpeed, 179);
        EXPECT_TRUE(hostsim::hostCallLog().nameQueries.empty());
    }
}

TEST_F(UpdatePass, WalkIsDepthFirstPreOrderWithOneNameQueryPerFrame) {
    SimModel model(FrameShape{
        "root",
        0,
        false,
        {{"a", 0, false, {{"a1", 0, false, {{"a11", 0, false, {}}}}, {"a2", 0, false, {}}}},
         {"b", 0, false, {}},
         {"c", 0, false, {{"c1", 0, false, {}}}}}});
    use(model);
    update();
    EXPECT_EQ(queriedNames(),
              (std::vector<std::string>{"root", "a", "a1", "a11", "a2", "b", "c", "c1"}));

    // Every render walks the whole tree again.
    hostsim::hostCallLog().clear();
    update();
    EXPECT_EQ(queriedNames().size(), 8u);
}

TEST_F(UpdatePass, SiblingsOfTheRootAreWalkedToo) {
    SimModel first(FrameShape{"first", 0, false, {{"first.child", 0, false, {}}}});
    SimModel second(FrameShape{"second", 0, false, {}});
    first.root()->nextSibling = second.root();
    use(first);
    update();
    EXPECT_EQ(queriedNames(), (std::vector<std::string>{"first", "first.child", "second"}));
}

TEST_F(UpdatePass, LongSiblingChainIsWalkedOnAHostSizedStack) {
    constexpr int siblings = 200000;
    FrameShape root{"root", 0, false, {}};
    root.children.resize(siblings);
    for (int i = 0; i < siblings; ++i) root.children[i].name = "f" + std::to_string(i);
    root.children.back().children.push_back({"last.child", 0, false, {}});
    SimModel model(root);
    use(model);

    testing_support::runOnStack(testing_support::hostThreadStack, [&] { update(); });

    const std::vector<SimFrame*>& queries = hostsim::hostCallLog().nameQueries;
    ASSERT_EQ(queries.size(), siblings + 2u);
    for (std::size_t i = 0; i < queries.size(); ++i) ASSERT_EQ(queries[i], model.frame(i)) << i;
}

TEST_F(UpdatePass, MillionByteComponentNameWithUnconvertibleParametersIsContained) {
    // Every key and every marker, each followed by a number that no conversion can hold.
    const std::string digits(150000, '9');
    std::string name = "vx_chain_vx_fbrake_vx_rbrake_vx_cl_vx_gl_vx_gm_vx_om_vx_sm_vx_rpm_kph";
    for (const char* marker : {"_az", "_ax", "_o", "_m", "r", "_", "_az-", "_ax-", "_o-"})
        name += marker + digits;
    ASSERT_GT(name.size(), 1000000u);
    SimModel model(FrameShape{
        "body", 1, false, {{name, 1, false, {{"under", 1, false, {}}}}, {"after", 1, false, {}}}});
    use(model);

    bool threw = false;
    testing_support::runOnStack(testing_support::hostThreadStack, [&] {
        for (int pass = 0; pass < 3; ++pass) {
            try {
                update();
            } catch (...) {
                threw = true;
            }
        }
    });
    EXPECT_FALSE(threw);
    EXPECT_EQ(hostsim::hostCallLog().nameQueries.size(), 12u);
    EXPECT_EQ(hostsim::hostCallLog().nameQueries.back(), model.find("after"));
}

}  // namespace
