#pragma once
// The way from a patched site into the library. A site leads to a stub, an indirect jump
// "FF 25 cell" in executable memory of its own, apart from the library's image; the cell, in a
// writable page beside it, holds where the jump goes.
//
// Another plug-in may keep a way to the stub that we cannot see: a copy of the site's call in a
// trampoline of its own, or a hook on the function the site calls, which is the stub. So a stub is
// never freed, not even at unload: when the library gives its site up, the stub is turned to where
// the site led before, and it stays so for the life of the process. Turning it is one aligned
// 32-bit store to its cell, which cannot fail and needs no change of protection, so a stub can
// never be left leading into a library that is gone. The code itself is written once, while it is
// laid out, and is executable and read-only from then on.

#include <cstddef>
#include <cstdint>

#include "host/patching/patching.h"

namespace injector {

class code_stub {
  public:
    code_stub() = default;
    code_stub(const code_stub&) = delete;
    code_stub& operator=(const code_stub&) = delete;

    // Makes the stub lead to destination, laying it out on first use. False, with no stub, if no
    // memory could be had for it or its code could not be made read-only.
    bool jump_to(address_t destination);

    // Where a site enters the stub; 0 while there is none.
    address_t entry() const { return code; }
    // Where the stub leads now; 0 while there is none.
    address_t destination() const;

    // Every stub's code is this long: FF 25 and the cell's address, which lies 4-byte aligned.
    static constexpr std::size_t code_size = 6;

  private:
    address_t code = 0;
    std::uint32_t* cell = nullptr;
};

}  // namespace injector
