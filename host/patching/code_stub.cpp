#include "host/patching/code_stub.h"

#include "host/platform/platform.h"

namespace injector {

bool code_stub::jump_to(address_t destination) {
    const bool fresh = memory == 0;
    if (fresh) {
        memory = platform::allocateCode(size);
        if (memory == 0) return false;
    }
    const address_t at = entry();
    if (fresh && !write_u8(at, jump_opcode, false)) return false;
    if (!write_displacement(at + 1, destination, !fresh)) return false;
    if (fresh) {
        platform::Protection ignored = 0;
        platform::changeProtection(memory, size, platform::executeRead(), ignored);
    }
    return true;
}

void code_stub::release() {
    if (memory == 0) return;
    platform::releaseCode(memory, size);
    memory = 0;
}

void code_stub::keep() { memory = 0; }

}  // namespace injector
