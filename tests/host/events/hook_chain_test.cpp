// Hook chains on the substitute host's call sites: the order of hooks, hooker copies, and the
// site's bytes when the last hook goes.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/events/function_hooker.h"
#include "host/platform/platform.h"
#include "hostsim/host_image.h"
#include "hostsim/site_calls.h"
#include "hostsim/vehicle_pool.h"
#include "tests/hostsim/host_of_build.h"

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
    void TearDown() override {
        EXPECT_TRUE(hostsim::patchedSites().empty()) << "a test left a site patched";
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

    hostsim::HostOfBuild host{1001, 2};
    SimVehicle* vehicle = hostsim::vehicleInSlot(0);
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

// What changes in the chain while a call runs takes effect from the next call: the call under way
// runs the hooks it began with, and ends in the host function it began with even when the site
// has been handed back under it.
TEST_F(HookChain, ChangesDuringACallTakeEffectFromTheNextCall) {
    enum class Change { add, replace, empty };
    const struct {
        const char* what;
        Change change;
        std::vector<std::string> thisCall, nextCall;
        bool patchedAfter;
    } cases[] = {
        {"a hook added", Change::add, {"first"}, {"added", "first"}, true},
        {"the hook replaced", Change::replace, {"first"}, {"replacement"}, true},
        {"the chain emptied", Change::empty, {"first"}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hostsim::hostActivity() = hostsim::HostActivity{};
        trace.clear();
        auto first = std::make_unique<RenderHooker>();
        RenderHooker added;
        bool changed = false;
        first->attach_hook([&](Inner inner, SimVehicle*& v) {
            trace.push_back("first");
            if (!changed) {
                changed = true;
                if (c.change == Change::add) added.attach_hook(tracing("added", 0));
                if (c.change == Change::replace) first->attach_hook(tracing("replacement", 0));
                if (c.change == Change::empty) first->restore();
            }
            return inner(v);
        });
        EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
        EXPECT_EQ(trace, c.thisCall);
        EXPECT_EQ(hostsim::hostActivity().renders, 1u);
        EXPECT_EQ(first->shared_manager()->is_patched(), c.patchedAfter);

        trace.clear();
        EXPECT_EQ(runRoutine(address::renderCallSite, vehicle), 1);
        std::vector<std::string> names;
        for (const std::string& entry : trace)
            if (entry.find(" done") == std::string::npos) names.push_back(entry);
        EXPECT_EQ(names, c.nextCall);
        EXPECT_EQ(hostsim::hostActivity().renders, 2u);
        added.restore();
        first.reset();
    }
}

// The stub a site leads to: executable and read-only, its cell aligned; once the site is handed
// back it is kept, leading where the site led before, for whoever still holds a way to it.
TEST_F(HookChain, TheStubIsReadOnlyAndOutlivesItsSite) {
    const injector::address_t hostRender = injector::branch_target(address::renderCallSite, true);
    auto hooker = std::make_unique<RenderHooker>();
    hooker->attach_hook(tracing("hook", 0));
    const std::shared_ptr<RenderHooker::manager_type> manager = hooker->shared_manager();
    const injector::code_stub& stub = manager->site_stub();
    const injector::address_t entry = stub.entry();
    ASSERT_NE(entry, 0u);
    EXPECT_EQ(injector::branch_target(address::renderCallSite, true), entry);

    const auto expectExecutableAndReadOnly = [&] {
        platform::Protection protection = 0;
        ASSERT_TRUE(platform::queryProtection(entry, protection));
        EXPECT_EQ(protection, platform::executeRead());
        EXPECT_EQ(injector::read_u8(entry, false), 0xFF);
        EXPECT_EQ(injector::read_u8(entry + 1, false), 0x25);
        EXPECT_EQ(injector::read_u32(entry + 2, false) % 4, 0u) << "the cell is not aligned";
        EXPECT_EQ((entry + 2) % 4, 0u) << "the cell's address is not aligned";
    };
    expectExecutableAndReadOnly();
    EXPECT_EQ(stub.destination(), injector::address_of(&RenderHooker::hook_entry));

    hooker.reset();
    EXPECT_EQ(hostsim::currentSiteBytes(address::renderCallSite),
              hostsim::originalSiteBytes(address::renderCallSite));
    expectExecutableAndReadOnly();
    EXPECT_EQ(stub.destination(), hostRender);
    // A way to the stub kept by someone else still reaches the host function, and no hook.
    trace.clear();
    using HostRender = std::int32_t(__attribute__((thiscall))*)(SimVehicle*);
    EXPECT_EQ(reinterpret_cast<HostRender>(entry)(vehicle), 1);
    EXPECT_TRUE(trace.empty());
    EXPECT_EQ(hostsim::hostActivity().renders, 1u);
}

// Another program may have rewritten a site before us. Only an instruction that our own can replace
// byte for byte is diverted; every other one is left as it is.
TEST_F(HookChain, OnlyWhatTheSiteKindHoldsIsDiverted) {
    const injector::address_t hostRender = injector::branch_target(address::renderCallSite, true);
    static std::uint32_t cell = 0;
    cell = static_cast<std::uint32_t>(hostRender);
    const auto relative = [](std::uint8_t opcode, std::uint32_t site, std::uint32_t target) {
        std::vector<std::uint8_t> bytes{opcode, 0, 0, 0, 0};
        const std::uint32_t displacement = target - (site + 5);
        std::memcpy(bytes.data() + 1, &displacement, 4);
        return bytes;
    };
    const auto indirect = [](std::uint8_t modrm) {
        std::vector<std::uint8_t> bytes{0xFF, modrm, 0, 0, 0, 0};
        const auto at = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&cell));
        std::memcpy(bytes.data() + 2, &at, 4);
        return bytes;
    };
    const std::uint32_t callSite = address::renderCallSite;
    const std::uint32_t jumpSite = address::renderJumpSite;
    const struct {
        const char* what;
        std::uint32_t site;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"a jump at a call site", callSite, relative(0xE9, callSite, hostRender)},
        {"an indirect call at a call site", callSite, indirect(0x15)},
        {"an indirect jump at a call site", callSite, indirect(0x25)},
        {"a call at a jump site", jumpSite, relative(0xE8, jumpSite, hostRender)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t saved[6];
        ASSERT_TRUE(injector::read_bytes(c.site, saved, sizeof saved, true));
        ASSERT_TRUE(injector::write_bytes(c.site, c.bytes.data(), c.bytes.size(), true));
        bool patched = true;
        if (c.site == callSite) {
            RenderHooker hooker;
            hooker.attach_hook(tracing("hook", 0));
            patched = hooker.shared_manager()->is_patched();
        } else {
            RenderJumpHooker hooker;
            hooker.attach_hook(tracing("hook", 0));
            patched = hooker.shared_manager()->is_patched();
        }
        EXPECT_FALSE(patched);
        std::uint8_t now[6];
        ASSERT_TRUE(injector::read_bytes(c.site, now, c.bytes.size(), true));
        EXPECT_EQ(std::vector<std::uint8_t>(now, now + c.bytes.size()), c.bytes);
        ASSERT_TRUE(injector::write_bytes(c.site, saved, sizeof saved, true));
    }
}

// An indirect jump or call at a jump site is diverted, and its cell is read on every call: its
// owner takes its hook back by repointing the cell, and the chain follows.
TEST_F(HookChain, AnIndirectJumpSiteFollowsItsCell) {
    static std::uint32_t cell = 0;
    struct Other {
        static __attribute__((thiscall)) std::int32_t render(SimVehicle*) { return 40; }
    };
    const injector::address_t hostRender = injector::branch_target(address::renderJumpSite, true);
    cell = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&Other::render));
    std::uint8_t saved[6];
    ASSERT_TRUE(injector::read_bytes(address::renderJumpSite, saved, sizeof saved, true));
    std::uint8_t jumpThroughCell[6] = {0xFF, 0x25};
    const auto at = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&cell));
    std::memcpy(jumpThroughCell + 2, &at, 4);
    ASSERT_TRUE(injector::write_bytes(address::renderJumpSite, jumpThroughCell, 6, true));
    {
        RenderJumpHooker hooker;
        hooker.attach_hook(tracing("hook", 1));
        ASSERT_TRUE(hooker.shared_manager()->is_patched());
        EXPECT_EQ(runRoutine(address::renderJumpSite, vehicle), 41);
        cell = static_cast<std::uint32_t>(hostRender);
        EXPECT_EQ(runRoutine(address::renderJumpSite, vehicle), 2);
        EXPECT_EQ(hostsim::hostActivity().renders, 1u);
        EXPECT_EQ(trace, (std::vector<std::string>{"hook", "hook done", "hook", "hook done"}));
    }
    std::uint8_t now[6];
    ASSERT_TRUE(injector::read_bytes(address::renderJumpSite, now, sizeof now, true));
    EXPECT_EQ(std::memcmp(now, jumpThroughCell, sizeof now), 0);
    ASSERT_TRUE(injector::write_bytes(address::renderJumpSite, saved, sizeof saved, true));
}

}  // namespace
