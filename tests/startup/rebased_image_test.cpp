// The library in a host image that lies at another base than the host's preferred one (this program
// is placed so): the build probe and all five patches must follow the image. The host functions and
// variables stay at their fixed addresses, which hold nothing here, so the sites are only looked
// at, never run.

#include <algorithm>
#include <iterator>
#include <vector>

#include "library_fixture.h"

namespace hostsim {
namespace {

TEST_F(Library, ProbeAndPatchesFollowAnImageAtAnotherBase) {
    ASSERT_NE(imageBase(), address::imageBase);
    std::vector<std::uint32_t> allFive(std::begin(allSites), std::end(allSites));
    std::sort(allFive.begin(), allFive.end());
    for (std::int32_t version : {1001, 1002}) {
        SCOPED_TRACE(version);
        load(version);
        EXPECT_EQ(patchedSites(), allFive);
        for (std::uint32_t site : allSites) {
            EXPECT_EQ(currentSiteBytes(site)[0], site == address::renderJumpSite ? 0xE9 : 0xE8)
                << std::hex << site;
        }
        EXPECT_TRUE(library_.unload());
        EXPECT_TRUE(patchedSites().empty());
    }
}

}  // namespace
}  // namespace hostsim
