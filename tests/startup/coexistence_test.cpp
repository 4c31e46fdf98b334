// Vorlix and somebody else's plug-in diverting the same host sites, loaded and unloaded in every
// order. After each step the host goes on through every site for several renders: nothing may
// crash, each plug-in still loaded runs its hooks, the later patch outermost, and once both are
// gone each site holds the host's own bytes wherever the order allowed it.

#include <array>
#include <map>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/site_calls.h"
#include "hostsim/sim_model.h"
#include "library_fixture.h"

namespace hostsim {
namespace {

// What the render jump site ran at the other plug-in's hook, noted by its watcher.
struct OtherHookSeen {
    bool ran = false;
    std::size_t namesAsked = 0;  // frame names the host had been asked for by then
};
OtherHookSeen otherRender;

void watchOtherPlugin(int hook) {
    if (hook != 1) return;
    otherRender.ran = true;
    otherRender.namesAsked = hostCallLog().nameQueries.size();
}

// Renders once through the site and says whose hooks ran, outermost first: "V" for Vorlix (which
// asks for the frame names), "O" for the other plug-in.
std::string hooksOfOneRender(SimVehicle* vehicle, RenderSite site) {
    otherRender = {};
    const std::size_t names = hostCallLog().nameQueries.size();
    const std::uint32_t renders = hostActivity().renders;
    timeCounterVariable() += 10;
    renderThroughSite(vehicle, site);
    EXPECT_EQ(hostActivity().renders, renders + 1) << "the host's render ran once";
    const bool vorlixRan = hostCallLog().nameQueries.size() > names;
    if (!otherRender.ran) return vorlixRan ? "V" : "";
    if (otherRender.namesAsked > names) return "VO";
    return vorlixRan ? "OV" : "O";
}

using SiteBytes = std::map<std::uint32_t, std::array<std::uint8_t, 5>>;
SiteBytes allSiteBytes() {
    SiteBytes bytes;
    for (std::uint32_t site : allSites) bytes[site] = currentSiteBytes(site);
    return bytes;
}

enum class Step { loadVorlix, loadOther, unloadVorlix, unloadOther };

TEST_F(Library, AnotherPluginAndVorlixLoadAndUnloadInEveryOrder) {
    using enum Step;
    const struct {
        const char* what;
        Step steps[4];
        // Whose hooks the render jump site runs after each step, outermost first. The other
        // plug-in writes back what it found when it goes, so going first it takes Vorlix's
        // diversion of its two sites with it.
        const char* jumpSiteHooks[4];
        bool hostBytesAtTheEnd;
    } cases[] = {
        {"other loads later, goes later",
         {loadVorlix, loadOther, unloadVorlix, unloadOther},
         {"V", "OV", "O", ""},
         false},
        {"other loads later, goes first",
         {loadVorlix, loadOther, unloadOther, unloadVorlix},
         {"V", "OV", "V", ""},
         true},
        {"other loads first, goes first",
         {loadOther, loadVorlix, unloadOther, unloadVorlix},
         {"O", "VO", "", ""},
         true},
        {"other loads first, goes later",
         {loadOther, loadVorlix, unloadVorlix, unloadOther},
         {"O", "VO", "O", ""},
         true},
    };
    SimModel model(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startHost(1001);
        LoadedLibrary other;
        SimVehicle* vehicle = nullptr;
        SiteBytes beforeVorlix;
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            std::string error;
            switch (c.steps[i]) {
                case loadVorlix:
                    beforeVorlix = allSiteBytes();
                    loadLibrary();
                    createPoolThroughSite(1);
                    vehicle = vehicleInSlot(0);
                    vehicle->modelObject = model.modelObject();
                    constructThroughSite(vehicle);
                    break;
                case loadOther:
                    ASSERT_TRUE(other.load(OTHER_PLUGIN_PATH, error)) << error;
                    reinterpret_cast<void (*)(void (*)(int))>(other.symbol("otherPluginWatch"))(
                        &watchOtherPlugin);
                    break;
                case unloadVorlix: {
                    // Vorlix patched last: it hands back exactly what it found.
                    const bool outermost = c.jumpSiteHooks[i - 1][0] == 'V';
                    EXPECT_TRUE(library_.unload());
                    if (outermost) {
                        EXPECT_EQ(allSiteBytes(), beforeVorlix);
                    }
                    break;
                }
                case unloadOther:
                    EXPECT_TRUE(other.unload());
                    break;
            }
            if (vehicle == nullptr) continue;
            const std::string hooks = c.jumpSiteHooks[i];
            const bool vorlixLoaded = library_.loaded();
            for (int render = 0; render < 3; ++render) {
                EXPECT_EQ(hooksOfOneRender(vehicle, RenderSite::jump), hooks);
                EXPECT_EQ(hooksOfOneRender(vehicle, RenderSite::call), vorlixLoaded ? "V" : "");
            }
            // The construction site too: an other plug-in that diverted it after Vorlix leads on
            // through Vorlix's stub, which must reach the host's function even with Vorlix gone.
            const std::uint32_t constructions = hostActivity().constructions;
            const auto otherCalls = [&other] {
                return other.loaded() ? reinterpret_cast<std::uint32_t (*)(int)>(
                                            other.symbol("otherPluginHookCalls"))(0)
                                      : 0u;
            };
            const std::uint32_t otherBefore = otherCalls();
            constructThroughSite(vehicle);
            EXPECT_EQ(hostActivity().constructions, constructions + 1);
            EXPECT_EQ(otherCalls(), otherBefore + (other.loaded() ? 1u : 0u));
        }
        for (std::uint32_t site : allSites) {
            const bool divertedByBoth =
                site == address::constructSite || site == address::renderJumpSite;
            EXPECT_EQ(currentSiteBytes(site) == originalSiteBytes(site),
                      c.hostBytesAtTheEnd || !divertedByBoth)
                << std::hex << site;
        }
        releaseVehiclePool();
    }
}

// Plug-ins that keep a way to where a site led while Vorlix held it: through it they reach Vorlix's
// stub, which must lead to the host's function for as long as the process lives. After each step
// the host goes through the construction and both render sites, and each of them reaches the
// host's function exactly once.
TEST_F(Library, WhatOtherPluginsKeepOfASiteStillLeadsToTheHost) {
    enum class Move { loadVorlix, loadOther, otherUnhooks, unloadVorlix, unloadOther };
    using enum Move;
    const struct {
        const char* what;
        const char* path;
        std::vector<Move> steps;
        std::vector<int> hookRuns;  // how often the other plug-in's hook runs after each step
        bool callsWhatItKept;
    } cases[] = {
        {"a trampoline kept after the site's bytes came back",
         TRAMPOLINE_KEEPER_PATH,
         {loadVorlix, loadOther, unloadVorlix, unloadOther},
         {0, 0, 0, 0},
         true},
        {"a cell repointed to take the hook back",
         CELL_REPOINTER_PATH,
         {loadOther, loadVorlix, otherUnhooks, unloadVorlix, unloadOther},
         {1, 1, 0, 0, 0},
         false},
        {"a hook on the function the site calls",
         STUB_HOOKER_PATH,
         {loadVorlix, loadOther, unloadVorlix, unloadOther},
         {0, 1, 0, 0},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startHost(1001, 1);
        SimVehicle* vehicle = vehicleInSlot(0);
        LoadedLibrary other;
        const auto hookCalls = [&other] {
            return other.loaded() ? reinterpret_cast<std::uint32_t (*)()>(
                                        other.symbol("stubHolderHookCalls"))()
                                  : 0u;
        };
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(i);
            std::string error;
            switch (c.steps[i]) {
                case loadVorlix:
                    loadLibrary();
                    break;
                case loadOther:
                    ASSERT_TRUE(other.load(c.path, error)) << error;
                    break;
                case otherUnhooks:
                    reinterpret_cast<void (*)()>(other.symbol("stubHolderUnhook"))();
                    break;
                case unloadVorlix:
                    EXPECT_TRUE(library_.unload());
                    break;
                case unloadOther:
                    EXPECT_TRUE(other.unload());
                    break;
            }
            const HostActivity before = hostActivity();
            const std::uint32_t hooksBefore = hookCalls();
            constructThroughSite(vehicle);
            renderThroughSite(vehicle, RenderSite::jump);
            renderThroughSite(vehicle, RenderSite::call);
            EXPECT_EQ(hostActivity().constructions, before.constructions + 1);
            EXPECT_EQ(hostActivity().renders, before.renders + 2);
            EXPECT_EQ(hookCalls() - hooksBefore, static_cast<std::uint32_t>(c.hookRuns[i]));
            if (c.callsWhatItKept && other.loaded()) {
                const std::uint32_t constructions = hostActivity().constructions;
                reinterpret_cast<std::int32_t (*)(void*)>(other.symbol("stubHolderCallKept"))(
                    vehicle);
                EXPECT_EQ(hostActivity().constructions, constructions + 1);
            }
        }
        releaseVehiclePool();
    }
}

}  // namespace
}  // namespace hostsim
