// Hook chains on the substitute host's call sites: the order of hooks, hooker copies, and the
// site's bytes when the last hook goes.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/events/function_hooker.h"
#include "hostsim/host_image.h"
#include "hostsim/site_calls.h"
#include "hostsim/vehicle_pool.h"

namespace {

using hostsim::SimVehicle;
namespace address = hostsim::address;

using RenderHooker =
    injector::function_hooker_thiscall<injector::scoped_call, address::renderCallSite,
                                       std::int32_t(SimVehicle*)>;
using RenderJumpHooker =
    injector::function_hooker_thiscall<injector::scoped_jmp, address::renderJumpSite,
                                       std::int32_t(SimVehicle*)>;
using PoolHooker =
    injector::function_hooker<injector::scoped_call, address::poolSite, std::int32_t()>;
// An address in the host's code that holds no branch.
using NoBranchHooker =
    injector::function_hooker_thiscall<injector::scoped_call, 0x6F0000, std::int32_t(SimVehicle*)>;

using Inner = RenderHooker::func_type;

// Runs the host's routine around a member-call site and returns what it returned.
std::int32_t runRoutine(std::uint32_t site, SimVehicle* vehicle) {
    return reinterpret_cast<std::int32_t (*)(SimVehicle*)>(site - 4)(vehicle);
}

class HookChain : public ::testing::Test {
  protected:
    void SetUp() override {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(2);
        vehicle = hostsim::vehicleInSlot(0);
        hostsim::hostActivity() = hostsim::HostActivity{};
    }
    void TearDown() override {
        EXPECT_TRUE(hostsim::patchedSites().empty()) << "a test left a site patched";
        hostsim::releaseVehiclePool();
        hostsim::layOutHostImage(0);
    }

    // A hook that notes its name, then calls the next inner function and adds to the result.
    RenderHooker::hook_type tracing(const std::string& name, std::int32_t add) {
        return [this, name, add](Inner inner, SimVehicle*& v) {
            trace.push_back(name);
            const std::int32_t result = inner(v) + add;
            trace.push_back(name + " done");
            return result;
        };
    }

    SimVehicle* vehicle = nullptr;
    std::vector<std::string> trace;
};

TEST_F(HookChain, TheLaterHookRunsOutermostAndDecidesAboutTheInnerOnes) {
    RenderHooker first, second;
    first.attach_hook(tracing("first", 10));
    second.attach_hook([this](Inner inner, SimVehicle*& v) {
        trace.push_back("second");
        return inner(v) * 2;
    });
    EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), (1 + 10) * 2);
    EXPECT_EQ(trace, (std::vector<std::string>{"second", "first", "first done"}));
    EXPECT_EQ(hostsim::hostActivity().renders, 1u);

    // Replacing the outer hook with one that never calls inward keeps the host from running.
    second.attach_hook([](Inner, SimVehicle*&) { return 5; });
    EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 5);
    EXPECT_EQ(hostsim::hostActivity().renders, 1u);
    EXPECT_EQ(first.shared_manager()->hook_count(), 2u);
}

TEST_F(HookChain, ACopiedHookerKeepsItsHookAndBecomesOutermost) {
    auto first = std::make_unique<RenderHooker>();
    RenderHooker second;
    first->attach_hook(tracing("first", 0));
    second.attach_hook(tracing("second", 0));
    RenderHooker copy(*first);
    first.reset();
    EXPECT_FALSE(hostsim::patchedSites().empty());
    runRoutine(address::renderCallSite, vehicle);
    EXPECT_EQ(trace, (std::vector<std::string>{"first", "second", "second done", "first done"}));
    EXPECT_TRUE(copy.is_hooked());
}

TEST_F(HookChain, TheLastRemovalRestoresTheSiteByteForByte) {
    RenderHooker first;
    auto second = std::make_unique<RenderHooker>();
    first.attach_hook(tracing("first", 0));
    second->attach_hook(tracing("second", 0));
    ASSERT_EQ(hostsim::patchedSites(), std::vector<std::uint32_t>{address::renderCallSite});
    EXPECT_TRUE(first.shared_manager()->is_patched());

    first.restore();
    EXPECT_FALSE(first.is_hooked());
    EXPECT_EQ(hostsim::patchedSites(), std::vector<std::uint32_t>{address::renderCallSite});
    second.reset();
    EXPECT_EQ(hostsim::currentSiteBytes(address::renderCallSite),
              hostsim::originalSiteBytes(address::renderCallSite));
    EXPECT_FALSE(first.shared_manager()->is_patched());

    // The host is reached directly again.
    trace.clear();
    EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
    EXPECT_TRUE(trace.empty());
}

// A hook may remove hooks while the chain runs, its own among them: the call under way still runs
// every hook it began with, and the next call runs those that are left.
TEST_F(HookChain, HooksRemovedDuringACallStillRunInThatCall) {
    const struct {
        const char* what;
        int remover;  // 0 the first hook, which runs innermost; 1 the second
        int removed;
        std::vector<std::string> nextCall;
    } cases[] = {
        {"the outer hook removes the inner one", 1, 0, {"second"}},
        {"the outer hook removes itself", 1, 1, {"first"}},
        {"the inner hook removes itself", 0, 0, {"second"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::hostActivity() = hostsim::HostActivity{};
        std::unique_ptr<RenderHooker> hookers[2] = {std::make_unique<RenderHooker>(),
                                                    std::make_unique<RenderHooker>()};
        bool removed = false;
        for (int i = 0; i < 2; ++i) {
            const std::string name = i == 0 ? "first" : "second";
            hookers[i]->attach_hook([&, i, name](Inner inner, SimVehicle*& v) {
                trace.push_back(name);
                if (i == c.remover && !removed) {
                    removed = true;
                    hookers[c.removed].reset();
                }
                return inner(v);
            });
        }
        trace.clear();
        EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
        EXPECT_EQ(trace, (std::vector<std::string>{"second", "first"}));
        trace.clear();
        EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
        EXPECT_EQ(trace, c.nextCall);
        EXPECT_EQ(hostsim::hostActivity().renders, 2u);
    }
}

TEST_F(HookChain, AHookAtTheJumpSiteReturnsStraightToTheRoutinesCaller) {
    RenderJumpHooker hooker;
    hooker.attach_hook(
        [](RenderJumpHooker::func_type inner, SimVehicle*& v) { return inner(v) + 100; });
    EXPECT_EQ(hostsim::currentSiteBytes(address::renderJumpSite)[0], 0xE9);
    EXPECT_EQ(runRoutine(address::renderJumpSite, vehicle), 101);
    EXPECT_EQ(hostsim::hostActivity().renders, 1u);
    hooker.restore();
}

TEST_F(HookChain, APlainSiteTakesNoArguments) {
    PoolHooker hooker;
    int calls = 0;
    hooker.attach_hook([&calls](PoolHooker::func_type inner) {
        ++calls;
        return inner();
    });
    hostsim::createPoolThroughSite(5);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(hostsim::hostActivity().poolCreations, 1u);
    ASSERT_NE(hostsim::currentVehiclePool(), nullptr);
    EXPECT_EQ(hostsim::currentVehiclePool()->slotCount, 5u);
}

TEST_F(HookChain, ASiteWithoutABranchIsNotPatched) {
    NoBranchHooker hooker;
    hooker.attach_hook([](NoBranchHooker::func_type inner, SimVehicle*& v) { return inner(v); });
    EXPECT_FALSE(hooker.shared_manager()->is_patched());
    EXPECT_EQ(hooker.shared_manager()->target(), 0u);
    EXPECT_EQ(injector::read_u32(0x6F0000, true), 0u);
    EXPECT_EQ(injector::read_u8(0x6F0004, true), 0u);
}

// A failure inside the chain never reaches the host's code, and the host function runs once.
TEST_F(HookChain, AFailureInTheChainStillRunsTheHostFunctionOnce) {
    const struct {
        const char* what;
        bool afterInner;
    } cases[] = {{"before the inner call", false}, {"after the inner call", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::hostActivity() = hostsim::HostActivity{};
        RenderHooker hooker;
        hooker.attach_hook([&c](Inner inner, SimVehicle*& v) -> std::int32_t {
            if (c.afterInner) inner(v);
            throw std::runtime_error("hook failed");
        });
        EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
        EXPECT_EQ(hostsim::hostActivity().renders, 1u);
    }
}

}  // namespace
