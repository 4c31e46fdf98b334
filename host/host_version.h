#pragma once
// Where the host executable lies, and which build of it is running. The build signatures and the
// image's preferred base are in host/host_interface.h.

#include <cstdint>

#include "host/patching/patching.h"

namespace injector {

// Known host builds.
inline constexpr std::int32_t unknown_host_version = 0;

// The host image's base, found on first use.
address_t host_base();
// A host address moved to where the image is loaded, with 32-bit wrap-around.
address_t translate_address(address_t address);
address_t translate_address(address_t address, address_t base);

// The running build's id (0 if unrecognised), probed on first use and kept.
std::int32_t host_version();
// The probe itself, against an image at base: reads the build signatures in order. An address that
// cannot be read counts as no match.
std::int32_t probe_host_version(address_t base);

}  // namespace injector
