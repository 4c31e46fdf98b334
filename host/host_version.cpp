#include "host/host_version.h"

#include "host/host_interface.h"
#include "host/platform/platform.h"

namespace injector {

address_t host_base() {
    static const address_t base = platform::executableImageBase();
    return base;
}

address_t translate_address(address_t address, address_t base) {
    return static_cast<address_t>(address + base - host::preferredImageBase);
}

address_t translate_address(address_t address) { return translate_address(address, host_base()); }

std::int32_t probe_host_version(const signature_reader& read) {
    for (const host::BuildSignature& row : host::buildSignatures) {
        std::uint32_t value = 0;
        if (read(row.address, value) && value == row.value) return row.version;
    }
    return unknown_host_version;
}

std::int32_t probe_host_version(address_t base) {
    return probe_host_version([base](address_t address, std::uint32_t& value) {
        const address_t at = translate_address(address, base);
        // An image of another build may not reach this far: ask before reading. A signature that
        // is readable is read even when its protection cannot be lifted.
        if (!platform::isReadable(at, 4)) return false;
        return try_read_u32(at, true, value) || try_read_u32(at, false, value);
    });
}

std::int32_t host_version() {
    static const std::int32_t version = probe_host_version(host_base());
    return version;
}

}  // namespace injector
