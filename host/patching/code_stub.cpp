#include "host/patching/code_stub.h"

#include <atomic>
#include <cstring>

#include "host/platform/platform.h"

namespace injector {

namespace {

// Stubs are laid out in blocks of two pages: the code of stub i at slot i of the first, its cell
// at word i of the second. A block is never given back.
constexpr std::size_t page_size = 4096;
constexpr std::size_t slot_size = 8;
// The code starts 2 bytes into its slot, so that the cell address after FF 25 lies 4-byte aligned.
constexpr std::size_t code_offset = 2;
constexpr std::size_t stubs_per_block = page_size / slot_size;
static_assert((code_offset + 2) % 4 == 0 && code_offset + code_stub::code_size <= slot_size);
static_assert(stubs_per_block * sizeof(std::uint32_t) <= page_size);

constexpr std::uint8_t breakpoint = 0xCC;

struct stub_block {
    address_t base = 0;
    std::size_t used = 0;
};

// The block stubs are taken from, for this load of the library.
stub_block current_block;

// A block whose code page is executable and read-only and whose cell page is writable, with every
// slot filled with breakpoints; 0 if the memory or its protection cannot be had.
address_t new_block() {
    const address_t base = platform::allocateCode(2 * page_size);
    if (base == 0) return 0;
    std::memset(reinterpret_cast<void*>(base), breakpoint, page_size);
    std::memset(reinterpret_cast<void*>(base + page_size), 0, page_size);
    platform::Protection ignored = 0;
    if (!platform::changeProtection(base + page_size, page_size, platform::readWrite(), ignored) ||
        !platform::changeProtection(base, page_size, platform::executeRead(), ignored)) {
        platform::releaseCode(base, 2 * page_size);
        return 0;
    }
    return base;
}

}  // namespace

bool code_stub::jump_to(address_t destination) {
    if (code == 0) {
        if (current_block.base == 0 || current_block.used == stubs_per_block) {
            const address_t base = new_block();
            if (base == 0) return false;
            current_block = {base, 0};
        }
        const std::size_t index = current_block.used;
        const address_t at = current_block.base + index * slot_size + code_offset;
        const address_t cell_at = current_block.base + page_size + index * sizeof(std::uint32_t);
        // The cell is turned by a single store, and the jump reads it whole: both need it aligned.
        if (cell_at % alignof(std::uint32_t) != 0 ||
            cell_at % std::atomic_ref<std::uint32_t>::required_alignment != 0)
            return false;
        const std::uint8_t bytes[code_size] = {0xFF,
                                               0x25,
                                               static_cast<std::uint8_t>(cell_at),
                                               static_cast<std::uint8_t>(cell_at >> 8),
                                               static_cast<std::uint8_t>(cell_at >> 16),
                                               static_cast<std::uint8_t>(cell_at >> 24)};
        cell = reinterpret_cast<std::uint32_t*>(cell_at);
        std::atomic_ref<std::uint32_t>(*cell).store(static_cast<std::uint32_t>(destination));
        // The code page is executable and read-only at rest; it is lifted only to lay out a stub.
        ++current_block.used;
        platform::Protection old = 0;
        if (!platform::changeProtection(at, code_size, platform::executeReadWrite(), old))
            return false;
        std::memcpy(reinterpret_cast<void*>(at), bytes, code_size);
        platform::codeWritten(at, code_size);
        if (!platform::changeProtection(at, code_size, platform::executeRead(), old)) {
            // A page that stays writable takes no stub: this one is wiped and not used, and later
            // stubs go to a fresh block.
            std::memset(reinterpret_cast<void*>(at), breakpoint, code_size);
            current_block.used = stubs_per_block;
            return false;
        }
        code = at;
        return true;
    }
    std::atomic_ref<std::uint32_t>(*cell).store(static_cast<std::uint32_t>(destination));
    return true;
}

address_t code_stub::destination() const {
    return cell == nullptr ? 0 : std::atomic_ref<std::uint32_t>(*cell).load();
}

}  // namespace injector
