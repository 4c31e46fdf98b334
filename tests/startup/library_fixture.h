#pragma once
// The library as the host meets it: each scenario lays out the host image of one build, loads the
// library from disk in a working directory of its own (where the library writes its log), drives
// it through the patched sites, and unloads it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "hostsim/host_calls.h"
#include "hostsim/host_image.h"
#include "hostsim/library_loader.h"
#include "hostsim/vehicle_pool.h"
#include "tests/hostsim/host_of_build.h"

namespace hostsim {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Library : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        directory_ = std::filesystem::temp_directory_path() /
                     ("vorlix-e2e-" +
                      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        std::filesystem::current_path(directory_);
        hostActivity() = HostActivity{};
        hostCallLog().clear();
    }

    void TearDown() override {
        library_.unload();
        releaseVehiclePool();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(directory_);
    }

    void load(std::int32_t version) {
        startHost(version);
        loadLibrary();
    }

    // Loads the library into the image as it is now.
    void loadLibrary() {
        std::string error;
        ASSERT_TRUE(library_.load(VORLIX_LIBRARY_PATH, error)) << error;
    }

    LoadedLibrary library_;
    std::filesystem::path directory_;
    std::filesystem::path previous_;
};

}  // namespace hostsim
