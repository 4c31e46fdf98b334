// The library as the host meets it: loaded from disk, driven through the five patched call sites,
// unloaded.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/site_calls.h"
#include "hostsim/sim_model.h"
#include "library_fixture.h"
#include "open_file_probe.h"

namespace hostsim {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* lineEnd = "\r\n";
#else
constexpr const char* lineEnd = "\n";
#endif

TEST_F(Library, RecognisedBuildsPatchAllFiveSitesAndUnloadRestoresThem) {
    for (std::int32_t version : {1001, 1002}) {
        SCOPED_TRACE(version);
        load(version);
        std::vector<std::uint32_t> expected(std::begin(allSites), std::end(allSites));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(patchedSites(), expected);
        for (std::uint32_t site : allSites) {
            const auto bytes = currentSiteBytes(site);
            EXPECT_EQ(bytes[0], site == address::renderJumpSite ? 0xE9 : 0xE8) << std::hex << site;
        }
        EXPECT_TRUE(library_.unload()) << "the library stayed in the process";
        EXPECT_TRUE(patchedSites().empty());
        for (std::uint32_t site : allSites)
            EXPECT_EQ(currentSiteBytes(site), originalSiteBytes(site));
    }
}

TEST_F(Library, OtherBuildsPatchNothingAndAnimateNothing) {
    for (std::int32_t version : {1011, 1101, 1111, 3200, 3210, 0}) {
        SCOPED_TRACE(version);
        load(version);
        EXPECT_TRUE(patchedSites().empty());

        createPoolThroughSite(4);
        SimModel model(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
        SimVehicle* vehicle = vehicleInSlot(1);
        vehicle->modelObject = model.modelObject();
        vehicle->vehicleFlags = 0x20;
        hostCallLog().clear();
        constructThroughSite(vehicle);
        for (int i = 0; i < 5; ++i) {
            timeCounterVariable() += 100;
            renderThroughSite(vehicle, RenderSite::call);
            renderThroughSite(vehicle, RenderSite::jump);
        }
        destroyThroughSite(vehicle);
        EXPECT_TRUE(hostCallLog().rotations.empty());
        EXPECT_TRUE(hostCallLog().updates.empty());

        EXPECT_TRUE(library_.unload());
        EXPECT_TRUE(patchedSites().empty());
        releaseVehiclePool();
    }
}

TEST_F(Library, HostFunctionsStillRunThroughEverySite) {
    load(1001);
    createPoolThroughSite(3);
    ASSERT_NE(currentVehiclePool(), nullptr);
    EXPECT_EQ(currentVehiclePool()->slotCount, 3u);
    SimModel model(FrameShape{"body", 1, false, {}});
    SimVehicle* vehicle = vehicleInSlot(2);
    vehicle->modelObject = model.modelObject();
    constructThroughSite(vehicle);
    renderThroughSite(vehicle, RenderSite::call);
    renderThroughSite(vehicle, RenderSite::jump);
    destroyThroughSite(vehicle);
    EXPECT_EQ(hostActivity().poolCreations, 1u);
    EXPECT_EQ(hostActivity().constructions, 1u);
    EXPECT_EQ(hostActivity().renders, 2u);
    EXPECT_EQ(hostActivity().destructions, 1u);

    // The routines hand back whatever the host function returned, through the library's entries.
    using MemberRoutine = std::int32_t (*)(SimVehicle*);
    EXPECT_EQ(reinterpret_cast<MemberRoutine>(address::renderCallSite - 4)(vehicle), 1);
    EXPECT_EQ(reinterpret_cast<MemberRoutine>(address::renderJumpSite - 4)(vehicle), 1);
    EXPECT_EQ(reinterpret_cast<MemberRoutine>(address::constructSite - 4)(vehicle),
              static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(vehicle)));
    EXPECT_EQ(reinterpret_cast<MemberRoutine>(address::destroySite - 4)(vehicle), 0);
}

// The log stays open from start-up to unload, and others may read and write it meanwhile.
TEST_F(Library, LogHoldsOneLineAndReplacesAnOlderFile) {
    {
        std::ofstream older("Vorlix.log", std::ios::binary);
        older << "an older log\nwith two lines\n";
    }
    load(1002);
    createPoolThroughSite(2);
    SimModel model(FrameShape{"body", 1, false, {{"vx_sm", 1, false, {}}}});
    SimVehicle* vehicle = vehicleInSlot(0);
    vehicle->modelObject = model.modelObject();
    constructThroughSite(vehicle);
    renderThroughSite(vehicle, RenderSite::call);
    destroyThroughSite(vehicle);
    const std::string expected = std::string("Log started") + lineEnd;
    EXPECT_EQ(readFile("Vorlix.log"), expected);
    EXPECT_TRUE(heldOpen("Vorlix.log"));
    EXPECT_TRUE(othersMayReadAndWrite("Vorlix.log"));
    EXPECT_TRUE(library_.unload());
    EXPECT_FALSE(heldOpen("Vorlix.log"));
    EXPECT_EQ(readFile("Vorlix.log"), expected);
}

// A log that cannot be written costs the log line and nothing else.
TEST_F(Library, StartUpGoesOnWhenTheLogCannotBeOpened) {
    fs::create_directory("Vorlix.log");
    load(1001);
    EXPECT_EQ(patchedSites().size(), 5u);
    createPoolThroughSite(1);
    constructThroughSite(vehicleInSlot(0));
    renderThroughSite(vehicleInSlot(0), RenderSite::jump);
    destroyThroughSite(vehicleInSlot(0));
    EXPECT_EQ(hostActivity().renders, 1u);
    EXPECT_TRUE(library_.unload());
    EXPECT_TRUE(patchedSites().empty());
    EXPECT_TRUE(fs::is_directory("Vorlix.log"));
}

// Renders the vehicle through both render sites, a few passes apart in host time.
void renderPasses(SimVehicle* vehicle, int passes) {
    for (int i = 0; i < passes; ++i) {
        timeCounterVariable() += 10;
        renderThroughSite(vehicle, i % 2 == 0 ? RenderSite::call : RenderSite::jump);
    }
}

std::vector<float> rotationsOf(const SimFrame* frame, char axis) {
    std::vector<float> angles;
    for (const RotationCall& call : hostCallLog().rotations) {
        if (call.frame == frame && call.axis == axis) angles.push_back(call.angle);
    }
    return angles;
}

TEST_F(Library, RenderedVehiclesAreAnimatedThroughBothRenderSites) {
    for (std::int32_t version : {1001, 1002}) {
        SCOPED_TRACE(version);
        load(version);
        createPoolThroughSite(4);
        SimModel model(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
        SimFrame* lever = model.find("vx_fbrake_az-30");
        SimVehicle* vehicle = vehicleInSlot(3);
        vehicle->modelObject = model.modelObject();
        vehicle->vehicleFlags = 0x20;  // front brake held
        constructThroughSite(vehicle);
        hostCallLog().clear();

        // The first pass reads the lever's name; every later one, with more than 6 units of pass
        // time since the last step, turns it one degree towards -30.
        renderPasses(vehicle, 7);
        EXPECT_EQ(rotationsOf(lever, 'z'), std::vector<float>(6, -1.0f));
        EXPECT_EQ(hostActivity().renders, 7u);

        destroyThroughSite(vehicle);
        EXPECT_TRUE(library_.unload());
        releaseVehiclePool();
        hostActivity() = HostActivity{};
    }
}

TEST_F(Library, AVehicleBuiltInAFreedSlotStartsFromTheDefaults) {
    load(1001);
    createPoolThroughSite(2);
    SimModel first(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
    SimModel second(FrameShape{"body", 1, false, {{"vx_fbrake_az20", 1, false, {}}}});
    SimVehicle* vehicle = vehicleInSlot(1);
    vehicle->modelObject = first.modelObject();
    vehicle->vehicleFlags = 0x20;
    constructThroughSite(vehicle);
    renderPasses(vehicle, 4);
    destroyThroughSite(vehicle);

    // Rendering a vehicle without a record animates nothing.
    hostCallLog().clear();
    renderPasses(vehicle, 2);
    EXPECT_TRUE(hostCallLog().rotations.empty());
    EXPECT_EQ(hostActivity().renders, 6u);

    vehicle->modelObject = second.modelObject();
    constructThroughSite(vehicle);
    renderPasses(vehicle, 4);
    EXPECT_EQ(rotationsOf(second.find("vx_fbrake_az20"), 'z'), std::vector<float>(3, 1.0f));
    EXPECT_TRUE(rotationsOf(first.find("vx_fbrake_az-30"), 'z').empty());
}

TEST_F(Library, VehiclesWithoutAModelOrOutsideThePoolAreLeftAlone) {
    load(1002);
    createPoolThroughSite(2);
    SimVehicle* bare = vehicleInSlot(0);
    constructThroughSite(bare);
    renderPasses(bare, 3);
    destroyThroughSite(bare);

    // A vehicle the pool does not hold is constructed, rendered and destroyed by the host alone.
    SimModel model(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
    auto outsider = std::make_unique<SimVehicle>();
    outsider->modelObject = model.modelObject();
    outsider->vehicleFlags = 0x20;
    constructThroughSite(outsider.get());
    renderPasses(outsider.get(), 4);
    destroyThroughSite(outsider.get());
    EXPECT_TRUE(hostCallLog().rotations.empty());
    EXPECT_EQ(hostActivity().constructions, 2u);
    EXPECT_EQ(hostActivity().renders, 7u);
    EXPECT_EQ(hostActivity().destructions, 2u);
}

// What the host draws in a render is what the library moved for that render: the lever's turn and
// the gear display of the pass show in the same frame on screen, never one render late.
TEST_F(Library, EachRenderDrawsWhatTheLibraryMovedForIt) {
    load(1001);
    createPoolThroughSite(2);
    SimModel model(FrameShape{
        "body",
        1,
        false,
        {{"vx_fbrake_az-30", 1, false, {}},
         {"vx_gm", 0, false, {{"g0", 1, false, {}}, {"g1", 1, true, {}}, {"g2", 2, true, {}}}}}});
    SimVehicle* vehicle = vehicleInSlot(1);
    vehicle->modelObject = model.modelObject();
    vehicle->vehicleFlags = 0x20;  // front brake held
    constructThroughSite(vehicle);

    int passesThatMovedSomething = 0;
    for (std::uint8_t gear : {0, 1, 2, 2, 1, 0}) {
        vehicle->currentGear = gear;
        timeCounterVariable() += 10;
        const Drawing before = drawVehicle(vehicle);
        hostCallLog().clear();
        renderThroughSite(vehicle, gear % 2 == 0 ? RenderSite::call : RenderSite::jump);
        const Drawing after = drawVehicle(vehicle);
        ASSERT_EQ(hostCallLog().drawings.size(), 1u);
        EXPECT_EQ(hostCallLog().drawings[0], after) << "gear " << int{gear};
        if (!(after == before)) ++passesThatMovedSomething;
    }
    // Every pass after the first turns the lever; four of them also change the gear display.
    EXPECT_EQ(passesThatMovedSomething, 5);
}

// Vehicles near the end of a large pool: past slot 645 a stride off by a few bytes would give a
// vehicle its neighbour's record, or none.
TEST_F(Library, VehiclesInTheLastSlotsOfALargePoolKeepRecordsOfTheirOwn) {
    load(1002);
    constexpr std::uint32_t poolSize = 700;
    createPoolThroughSite(poolSize);
    SimModel pulling(FrameShape{"body", 1, false, {{"vx_fbrake_az-30", 1, false, {}}}});
    SimModel pushing(FrameShape{"body", 1, false, {{"vx_fbrake_az20", 1, false, {}}}});
    const struct {
        std::uint32_t slot;
        SimModel& model;
        const char* lever;
        float step;
    } cases[] = {{poolSize - 2, pulling, "vx_fbrake_az-30", -1.0f},
                 {poolSize - 1, pushing, "vx_fbrake_az20", 1.0f}};
    for (const auto& c : cases) {
        vehicleInSlot(c.slot)->modelObject = c.model.modelObject();
        vehicleInSlot(c.slot)->vehicleFlags = 0x20;
        constructThroughSite(vehicleInSlot(c.slot));
    }
    for (const auto& c : cases) renderPasses(vehicleInSlot(c.slot), 4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(rotationsOf(c.model.find(c.lever), 'z'), std::vector<float>(3, c.step));
    }
}

}  // namespace
}  // namespace hostsim
