// The substitute host's image: what the library relies on must be reachable at the host's
// addresses, in the host's calling conventions.
#include <gtest/gtest.h>

#include <cstring>

#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/site_calls.h"
#include "hostsim/sim_model.h"
#include "hostsim/vehicle_pool.h"

namespace hostsim {
namespace {

std::uint32_t word(std::uint32_t address) {
    std::uint32_t value;
    std::memcpy(&value, reinterpret_cast<const void*>(address), 4);
    return value;
}

TEST(HostImage, VersionBytesIdentifyTheBuild) {
    const struct {
        std::int32_t version;
        std::uint32_t at;
        std::uint32_t value;
    } cases[] = {
        {1001, 0x401000, 0x53EC8B55}, {1002, 0x401000, 0x16197BE9}, {1011, 0x8245BC, 0x000094BF},
        {1101, 0x8252FC, 0x000094BF}, {1111, 0x82533C, 0x000094BF}, {3200, 0x858D51, 0x3539F633},
        {3210, 0x858C61, 0x3539F633},
    };
    for (const auto& c : cases) {
        layOutHostImage(c.version);
        EXPECT_EQ(word(c.at), c.value) << c.version;
        for (const auto& other : cases) {
            if (other.at != c.at) {
                EXPECT_NE(word(other.at), other.value) << c.version << " at " << other.at;
            }
        }
    }
    layOutHostImage(0);
    for (const auto& c : cases) EXPECT_NE(word(c.at), c.value);
}

TEST(HostImage, HostFunctionsAnswerAtTheirAddresses) {
    layOutHostImage(1001);
    SimModel model(FrameShape{"root", 1, false, {{"vx_chain", 2, false, {}}}});
    SimFrame* chain = model.frame(1);

    using NameFn = const char* (*)(SimFrame*);
    EXPECT_STREQ(reinterpret_cast<NameFn>(0x72FB30)(chain), "vx_chain");

    hostCallLog().clear();
    using RotateFn = SimFrame* (*)(SimFrame*, const float*, float, std::int32_t);
    using UpdateFn = SimFrame* (*)(SimFrame*);
    reinterpret_cast<RotateFn>(0x7F1010)(chain, reinterpret_cast<const float*>(0x8D2E18), -2.5f, 1);
    reinterpret_cast<UpdateFn>(0x7F0910)(chain);
    ASSERT_EQ(hostCallLog().rotations.size(), 1u);
    EXPECT_EQ(hostCallLog().rotations[0].axis, 'z');
    EXPECT_EQ(hostCallLog().rotations[0].angle, -2.5f);
    ASSERT_EQ(hostCallLog().updates.size(), 1u);
    EXPECT_EQ(hostCallLog().updates[0], chain);

    setWheelScales(522, 0.75f, 1.25f);
    using LookupFn = SimModelInfo* (*)(std::uint32_t);
    SimModelInfo* info = reinterpret_cast<LookupFn>(0x403DA0)(522);
    EXPECT_EQ(info->wheelScaleA, 0.75f);
    EXPECT_EQ(info->wheelScaleB, 1.25f);

    // Called as the library calls it: a member call on the vector, float result in ST0. Repeated
    // past the depth of the x87 stack, so a leftover value would show.
    using MagnitudeFn = float(__attribute__((thiscall))*)(const float*);
    const float vector[3] = {3.0f, 4.0f, 12.0f};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(reinterpret_cast<MagnitudeFn>(0x4082C0)(vector), 13.0f);
}

TEST(HostImage, SitesReachTheHostFunctions) {
    layOutHostImage(1002);
    hostActivity() = HostActivity{};
    createPoolThroughSite(7);
    ASSERT_NE(currentVehiclePool(), nullptr);
    EXPECT_EQ(currentVehiclePool()->slotCount, 7u);
    EXPECT_EQ(*reinterpret_cast<SimPool**>(0xB74494), currentVehiclePool());

    SimVehicle* vehicle = vehicleInSlot(3);
    constructThroughSite(vehicle);
    renderThroughSite(vehicle, RenderSite::call);
    renderThroughSite(vehicle, RenderSite::jump);
    destroyThroughSite(vehicle);
    EXPECT_EQ(hostActivity().poolCreations, 1u);
    EXPECT_EQ(hostActivity().constructions, 1u);
    EXPECT_EQ(hostActivity().renders, 2u);
    EXPECT_EQ(hostActivity().destructions, 1u);
    EXPECT_TRUE(patchedSites().empty());
    releaseVehiclePool();
}

TEST(HostImage, SiteInstructionsSitAtTheSiteAddresses) {
    layOutHostImage(1001);
    const struct {
        std::uint32_t site;
        std::uint8_t opcode;
    } cases[] = {
        {0x5BF85B, 0xE8}, {0x6D5F2F, 0xE8}, {0x6E2D35, 0xE8}, {0x6C4523, 0xE8}, {0x6D0E89, 0xE9}};
    for (const auto& c : cases)
        EXPECT_EQ(originalSiteBytes(c.site)[0], c.opcode) << std::hex << c.site;
}

}  // namespace
}  // namespace hostsim
