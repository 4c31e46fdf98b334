#pragma once
// Where the host executable lies, and which build of it is running. Host addresses are stated for
// the image's preferred base 0x400000.

#include <cstdint>

#include "host/patching/patching.h"

namespace injector {

inline constexpr address_t preferred_host_base = 0x400000;

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
