#include "hostsim/memory_protection.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

namespace hostsim {

void protectPages(std::uint32_t start, std::uint32_t end, Protection protection) {
#ifdef _WIN32
    const DWORD value = protection == Protection::readWrite     ? PAGE_READWRITE
                        : protection == Protection::executeRead ? PAGE_EXECUTE_READ
                                                                : PAGE_EXECUTE_READWRITE;
    DWORD old = 0;
    const bool ok = VirtualProtect(reinterpret_cast<void*>(start), end - start, value, &old) != 0;
#else
    const int value = protection == Protection::readWrite     ? PROT_READ | PROT_WRITE
                      : protection == Protection::executeRead ? PROT_READ | PROT_EXEC
                                                              : PROT_READ | PROT_WRITE | PROT_EXEC;
    const bool ok = mprotect(reinterpret_cast<void*>(start), end - start, value) == 0;
#endif
    if (!ok) {
        std::fprintf(stderr, "substitute host: cannot change the protection of %#x..%#x\n", start,
                     end);
        std::abort();
    }
}

}  // namespace hostsim
