#pragma once
// Reading and rewriting x86 code of the host: decoding where a call or jump leads, writing a
// relative call or jump, and keeping the overwritten bytes to put them back.
//
// Every access with `unprotect` set lifts the page protection first and puts it back afterwards.
// When the protection cannot be lifted the access is skipped: a read then fails and a write makes
// no change, so that a page that stays read-only never faults inside the host.

#include <cstddef>
#include <cstdint>

namespace injector {

using address_t = std::uintptr_t;
static_assert(sizeof(address_t) == 4, "the patches are 32-bit relative calls and jumps");

inline constexpr std::uint8_t call_opcode = 0xE8;
inline constexpr std::uint8_t jump_opcode = 0xE9;

// Copies size bytes; false, with nothing accessed, if the protection could not be lifted.
bool read_bytes(address_t address, void* out, std::size_t size, bool unprotect);
bool write_bytes(address_t address, const void* in, std::size_t size, bool unprotect);

// Failure-aware reads; the plain ones give 0 for a read that could not be made.
bool try_read_u8(address_t address, bool unprotect, std::uint8_t& value);
bool try_read_u32(address_t address, bool unprotect, std::uint32_t& value);
std::uint8_t read_u8(address_t address, bool unprotect);
std::uint32_t read_u32(address_t address, bool unprotect);

bool write_u8(address_t address, std::uint8_t value, bool unprotect);
// Stores destination - (field + 4): the displacement of a rel32 whose field sits at field.
bool write_displacement(address_t field, address_t destination, bool unprotect);

// The memory cell an indirect call or jump (FF 15 / FF 25) at site reads its destination from; 0
// for any other instruction, or when the bytes cannot be read.
address_t indirect_cell(address_t site, bool unprotect);
// The destination a cell holds; 0 if the cell cannot be read.
address_t cell_destination(address_t cell);

// Where the call or jump at site leads: E8/E9 rel32, or FF 15 / FF 25 through a memory cell.
// 0 for any other instruction, or when the bytes cannot be read.
address_t branch_target(address_t site, bool unprotect);

class scoped_base {
  public:
    virtual ~scoped_base() = default;
    virtual void restore() = 0;
};

// Keeps up to N bytes of code that were overwritten, and puts them back on restore or
// destruction.
template <std::size_t N>
class scoped_basic : public scoped_base {
  public:
    scoped_basic() = default;
    scoped_basic(const scoped_basic&) = delete;
    scoped_basic& operator=(const scoped_basic&) = delete;
    ~scoped_basic() override { scoped_basic::restore(); }

    void restore() override {
        if (!has_saved) return;
        if (write_bytes(address, saved, size, unprotect != 0)) has_saved = 0;
    }

    // Puts back what this object holds (through the virtual restore), then keeps size bytes from
    // address. False, holding nothing, if they could not be read.
    virtual bool save(address_t from, std::size_t count, bool unprotect_access) {
        restore();
        if (count > N) return false;
        has_saved = 0;
        address = from;
        size = static_cast<std::uint32_t>(count);
        unprotect = unprotect_access ? 1 : 0;
        if (!read_bytes(from, saved, count, unprotect_access)) return false;
        has_saved = 1;
        return true;
    }

    bool holds_saved() const { return has_saved != 0; }
    address_t saved_address() const { return address; }

  protected:
    // Forgets the saved bytes without writing them: used when a patch wrote nothing.
    void discard() { has_saved = 0; }

    // Writes opcode + rel32 to destination over the 5 bytes at site, keeping the old ones.
    // Returns the destination the site had before (0 if not a known form). On failure the site
    // keeps its bytes and nothing is held.
    address_t patch_branch(std::uint8_t opcode, address_t site, address_t destination,
                           bool unprotect_access) {
        static_assert(N >= 5);
        if (!save(site, 5, unprotect_access)) return 0;
        const address_t previous = branch_target(site, unprotect_access);
        if (!write_u8(site, opcode, unprotect_access)) {
            discard();
            return 0;
        }
        if (!write_displacement(site + 1, destination, unprotect_access)) {
            scoped_basic::restore();
            return 0;
        }
        return previous;
    }

    std::uint8_t saved[N] = {};
    address_t address = 0;
    std::uint32_t size = 0;
    std::uint8_t has_saved = 0;
    std::uint8_t unprotect = 0;
};

class scoped_call : public scoped_basic<5> {
  public:
    // The instruction this object writes, and the only one it diverts exactly: a 5-byte call.
    static constexpr std::uint8_t opcode = call_opcode;

    // Makes site a relative call to destination; returns the destination it had before.
    // holds_saved() tells whether the site was written.
    address_t patch_call(address_t site, address_t destination, bool unprotect_access) {
        return patch_branch(call_opcode, site, destination, unprotect_access);
    }
    address_t patch(address_t site, address_t destination, bool unprotect_access) {
        return patch_call(site, destination, unprotect_access);
    }
};

class scoped_jmp : public scoped_basic<5> {
  public:
    static constexpr std::uint8_t opcode = jump_opcode;

    address_t patch_jump(address_t site, address_t destination, bool unprotect_access) {
        return patch_branch(jump_opcode, site, destination, unprotect_access);
    }
    address_t patch(address_t site, address_t destination, bool unprotect_access) {
        return patch_jump(site, destination, unprotect_access);
    }
};

}  // namespace injector
