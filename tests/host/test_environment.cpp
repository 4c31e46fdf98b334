// The host build seen by these tests is fixed at "unrecognised" before any test runs, so that
// events and stores made by the tests never patch the image behind their backs. Tests that need a
// patched site attach their own hookers.

#include <gtest/gtest.h>

#include "host/host_version.h"
#include "hostsim/host_image.h"

namespace {

class UnrecognisedHost : public ::testing::Environment {
  public:
    void SetUp() override {
        hostsim::layOutHostImage(0);
        ASSERT_EQ(injector::host_version(), 0);
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new UnrecognisedHost);

}  // namespace
