#include "host/platform/platform.h"

#ifdef _WIN32

#include <windows.h>

namespace platform {

Protection executeReadWrite() { return PAGE_EXECUTE_READWRITE; }
Protection readWrite() { return PAGE_READWRITE; }
Protection executeRead() { return PAGE_EXECUTE_READ; }

bool changeProtection(std::uintptr_t address, std::size_t size, Protection newProtection,
                      Protection& oldProtection) {
    DWORD old = 0;
    if (VirtualProtect(reinterpret_cast<void*>(address), size, newProtection, &old) == 0)
        return false;
    oldProtection = old;
    return true;
}

bool queryProtection(std::uintptr_t address, Protection& protection) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &info, sizeof info) == 0) return false;
    if (info.State != MEM_COMMIT) return false;
    protection = info.Protect;
    return true;
}

bool isReadable(std::uintptr_t address, std::size_t size) {
    constexpr DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const std::uintptr_t end = address + size;
    if (end < address) return false;
    std::uintptr_t at = address;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info;
        if (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == 0) return false;
        if (info.State != MEM_COMMIT) return false;
        if ((info.Protect & readable) == 0 || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0)
            return false;
        const std::uintptr_t regionEnd =
            reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (regionEnd <= at) return false;
        at = regionEnd;
    }
    return true;
}

// Windows asks for this after any change to code that may run.
void codeWritten(std::uintptr_t address, std::size_t size) {
    FlushInstructionCache(GetCurrentProcess(), reinterpret_cast<const void*>(address), size);
}

std::uintptr_t allocateCode(std::size_t size) {
    return reinterpret_cast<std::uintptr_t>(
        VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
}

void releaseCode(std::uintptr_t address, std::size_t) {
    VirtualFree(reinterpret_cast<void*>(address), 0, MEM_RELEASE);
}

std::uintptr_t executableImageBase() {
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

}  // namespace platform

#endif
