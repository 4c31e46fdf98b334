// Recognising the host build from the bytes of its image.

#include <gtest/gtest.h>

#include "host/host_version.h"
#include "host/platform/platform.h"
#include "hostsim/host_image.h"
#include "tests/hostsim/host_of_build.h"

namespace {

using injector::address_t;

TEST(HostVersion, EveryBuildIsRecognisedFromItsImage) {
    for (std::int32_t version : hostsim::knownHostVersions) {
        SCOPED_TRACE(version);
        const hostsim::HostOfBuild host(version);
        EXPECT_EQ(injector::probe_host_version(injector::host_base()), version);
    }
}

TEST(HostVersion, TheImageBaseIsThePreferredOneAndAddressesTranslateWithWrapAround) {
    EXPECT_EQ(injector::host_base(), 0x400000u);
    EXPECT_EQ(injector::translate_address(0x6C4523), 0x6C4523u);
    const struct {
        address_t address, base, expected;
    } cases[] = {
        {0x401000, 0x10000000, 0x10001000},
        {0x401000, 0x300000, 0x301000},
        {0x300000, 0x0, 0xFFF00000},
        {0xFFFFFFFF, 0x500000, 0x000FFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(injector::translate_address(c.address, c.base), c.expected);
}

// An image that does not reach a signature's address is simply not that build.
TEST(HostVersion, AnUnreadableAddressCountsAsNoMatch) {
    const address_t unmappedBase = 0xE0000000;
    ASSERT_FALSE(platform::isReadable(injector::translate_address(0x401000, unmappedBase), 4));
    ASSERT_FALSE(platform::isReadable(injector::translate_address(0x858D51, unmappedBase), 4));
    EXPECT_EQ(injector::probe_host_version(unmappedBase), 0);
}

TEST(HostVersion, TheFirstAnswerIsKept) {
    const hostsim::HostOfBuild host(1001);
    EXPECT_EQ(injector::host_version(), 0);  // fixed before the first test
}

}  // namespace
