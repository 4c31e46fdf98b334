#pragma once
// Where the host executable lies, and which build of it is running. The build signatures and the
// image's preferred base are in host/host_interface.h.

#include <cstdint>
#include <functional>

#include "host/patching/patching.h"

namespace injector {

// The version id of a build that none of the signatures recognises.
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

// Reads the 32-bit value at a host address stated for the preferred base; false if it cannot.
using signature_reader = std::function<bool(address_t address, std::uint32_t& value)>;
// The same probe over any reader: the image in memory, or the executable's file on disk.
std::int32_t probe_host_version(const signature_reader& read);

}  // namespace injector
