#pragma once
// Lays out the host image for one host build: the bytes that identify the build, the host
// functions, the axis vectors and the code that holds the five call sites.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace hostsim {

// Host builds the substitute host can imitate; 0 stands for an unknown build.
inline constexpr std::int32_t knownHostVersions[] = {1001, 1002, 1011, 1101, 1111, 3200, 3210, 0};
bool isKnownHostVersion(std::int32_t version);

// Writes the image for the build and makes its code pages execute/read only, as in a real host.
// Resets the host variables. May be called again for another build while no library is loaded.
// An image may also carry the identifying bytes of other builds, where they do not overlap its own.
void layOutHostImage(std::int32_t version, std::initializer_list<std::int32_t> alsoCarrying = {});

// The five bytes at a site as the image was laid out.
std::array<std::uint8_t, 5> originalSiteBytes(std::uint32_t site);
std::array<std::uint8_t, 5> currentSiteBytes(std::uint32_t site);

// Sites whose bytes differ from the laid-out image, in ascending order.
std::vector<std::uint32_t> patchedSites();

}  // namespace hostsim
