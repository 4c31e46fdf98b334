// An image carrying the identifying bytes of several builds is the build whose row comes first.

#include <gtest/gtest.h>

#include <initializer_list>

#include "host/host_version.h"
#include "tests/hostsim/host_of_build.h"

namespace {

TEST(HostVersion, TheFirstMatchingRowDecides) {
    const struct {
        std::int32_t build;
        std::initializer_list<std::int32_t> alsoCarrying;
    } cases[] = {
        {1001, {1011, 1101, 1111, 3200, 3210}},
        {1002, {1011, 1101, 1111, 3200, 3210}},
        {1011, {1101, 1111, 3200, 3210}},
        {1101, {1111, 3200, 3210}},
        {1111, {3200, 3210}},
        {3200, {3210}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.build);
        const hostsim::HostOfBuild host(c.build, 0, c.alsoCarrying);
        EXPECT_EQ(injector::probe_host_version(injector::host_base()), c.build);
    }
}

}  // namespace
