#include "host/host_version.h"

#include "host/platform/platform.h"

namespace injector {

namespace {

struct build_signature {
    address_t address;
    std::uint32_t value;
    std::int32_t version;
};

// Tried in this order; the first match decides.
constexpr build_signature build_signatures[] = {
    {0x401000, 0x53EC8B55, 1001}, {0x401000, 0x16197BE9, 1002}, {0x8245BC, 0x000094BF, 1011},
    {0x8252FC, 0x000094BF, 1101}, {0x82533C, 0x000094BF, 1111}, {0x858D51, 0x3539F633, 3200},
    {0x858C61, 0x3539F633, 3210},
};

}  // namespace

address_t host_base() {
    static const address_t base = platform::executableImageBase();
    return base;
}

address_t translate_address(address_t address, address_t base) {
    return static_cast<address_t>(address + base - preferred_host_base);
}

address_t translate_address(address_t address) { return translate_address(address, host_base()); }

std::int32_t probe_host_version(address_t base) {
    for (const build_signature& row : build_signatures) {
        const address_t at = translate_address(row.address, base);
        // An image of another build may not reach this far: ask before reading.
        if (!platform::isReadable(at, 4)) continue;
        std::uint32_t value = 0;
        if (!try_read_u32(at, true, value)) continue;
        if (value == row.value) return row.version;
    }
    return unknown_host_version;
}

std::int32_t host_version() {
    static const std::int32_t version = probe_host_version(host_base());
    return version;
}

}  // namespace injector
