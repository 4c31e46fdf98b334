#include "host/patching/patching.h"

#include <cstring>

#include "host/platform/platform.h"

namespace injector {

namespace {

// Runs access with the protection of [address, address + size) lifted; skips it if the protection
// cannot be lifted.
template <typename Access>
bool with_access(address_t address, std::size_t size, bool unprotect, Access access) {
    if (!unprotect || size == 0) {
        access();
        return true;
    }
    platform::Protection old = 0;
    if (!platform::changeProtection(address, size, platform::executeReadWrite(), old)) return false;
    access();
    platform::Protection ignored = 0;
    platform::changeProtection(address, size, old, ignored);
    return true;
}

}  // namespace

bool read_bytes(address_t address, void* out, std::size_t size, bool unprotect) {
    return with_access(address, size, unprotect,
                       [&] { std::memcpy(out, reinterpret_cast<const void*>(address), size); });
}

bool write_bytes(address_t address, const void* in, std::size_t size, bool unprotect) {
    if (!with_access(address, size, unprotect,
                     [&] { std::memcpy(reinterpret_cast<void*>(address), in, size); }))
        return false;
    platform::codeWritten(address, size);
    return true;
}

bool try_read_u8(address_t address, bool unprotect, std::uint8_t& value) {
    return read_bytes(address, &value, 1, unprotect);
}

bool try_read_u32(address_t address, bool unprotect, std::uint32_t& value) {
    return read_bytes(address, &value, 4, unprotect);
}

std::uint8_t read_u8(address_t address, bool unprotect) {
    std::uint8_t value = 0;
    return try_read_u8(address, unprotect, value) ? value : 0;
}

std::uint32_t read_u32(address_t address, bool unprotect) {
    std::uint32_t value = 0;
    return try_read_u32(address, unprotect, value) ? value : 0;
}

bool write_u8(address_t address, std::uint8_t value, bool unprotect) {
    return write_bytes(address, &value, 1, unprotect);
}

bool write_displacement(address_t field, address_t destination, bool unprotect) {
    const std::uint32_t displacement = static_cast<std::uint32_t>(destination - (field + 4));
    return write_bytes(field, &displacement, 4, unprotect);
}

address_t indirect_cell(address_t site, bool unprotect) {
    std::uint8_t opcode = 0;
    std::uint8_t modrm = 0;
    if (!try_read_u8(site, unprotect, opcode) || opcode != 0xFF) return 0;
    if (!try_read_u8(site + 1, unprotect, modrm) || (modrm != 0x15 && modrm != 0x25)) return 0;
    std::uint32_t cell = 0;
    if (!try_read_u32(site + 2, unprotect, cell)) return 0;
    return static_cast<address_t>(cell);
}

// The cell is data: read as it stands, but never where it would fault.
address_t cell_destination(address_t cell) {
    if (!platform::isReadable(cell, 4)) return 0;
    std::uint32_t target = 0;
    std::memcpy(&target, reinterpret_cast<const void*>(cell), 4);
    return static_cast<address_t>(target);
}

address_t branch_target(address_t site, bool unprotect) {
    std::uint8_t opcode = 0;
    if (!try_read_u8(site, unprotect, opcode)) return 0;
    if (opcode == call_opcode || opcode == jump_opcode) {
        std::uint32_t displacement = 0;
        if (!try_read_u32(site + 1, unprotect, displacement)) return 0;
        return static_cast<address_t>(site + 5 + displacement);
    }
    if (opcode == 0xFF) {
        const address_t cell = indirect_cell(site, unprotect);
        return cell == 0 ? 0 : cell_destination(cell);
    }
    return 0;
}

}  // namespace injector
