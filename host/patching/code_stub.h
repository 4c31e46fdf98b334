#pragma once
// A jump in executable memory of its own, apart from the library's image. A patched site leads to
// the library through one, so that whatever another plug-in saved of the site stays callable after
// the library is gone: the stub is then turned to where the site led before and kept.

#include <cstddef>

#include "host/patching/patching.h"

namespace injector {

class code_stub {
  public:
    code_stub() = default;
    code_stub(const code_stub&) = delete;
    code_stub& operator=(const code_stub&) = delete;
    ~code_stub() { release(); }

    // Makes the stub a jump to destination, allocating it on first use. False if it cannot.
    bool jump_to(address_t destination);
    // Frees the stub; nothing may lead to it any more.
    void release();
    // Leaves the stub to the process for good, as it is.
    void keep();

    // Where a site enters the stub; 0 while there is none.
    address_t entry() const { return memory == 0 ? 0 : memory + entry_offset; }

  private:
    // The displacement lies 4-byte aligned, so that turning the jump is a single store.
    static constexpr std::size_t entry_offset = 3;
    static constexpr std::size_t size = 8;

    address_t memory = 0;
};

}  // namespace injector
