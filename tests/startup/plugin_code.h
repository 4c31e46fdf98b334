#pragma once
// What the test's stand-ins for other plug-ins share: how such a plug-in exports its controls, and
// how it writes host code and reads where a relative branch leads, as real plug-ins do.

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#define EXPORTED extern "C" __declspec(dllexport)
#else
#include <sys/mman.h>
#define EXPORTED extern "C" __attribute__((visibility("default")))
#endif

namespace plugin_code {

// A host function that takes its object in ECX.
using MemberFunction = std::int32_t(__attribute__((thiscall)) *)(void*);

inline std::uint8_t* code(std::uint32_t address) {
    return reinterpret_cast<std::uint8_t*>(address);
}

// Host code is execute/read only: lift that for the write and put it back.
inline void writeCode(std::uint32_t at, const void* bytes, std::size_t size) {
#ifdef _WIN32
    DWORD old = 0;
    VirtualProtect(code(at), size, PAGE_EXECUTE_READWRITE, &old);
    std::memcpy(code(at), bytes, size);
    VirtualProtect(code(at), size, old, &old);
    FlushInstructionCache(GetCurrentProcess(), code(at), size);
#else
    const std::uint32_t page = at & ~0xFFFu;
    const std::size_t length = at + size - page;
    mprotect(code(page), length, PROT_READ | PROT_WRITE | PROT_EXEC);
    std::memcpy(code(at), bytes, size);
    mprotect(code(page), length, PROT_READ | PROT_EXEC);
#endif
}

inline std::uint32_t relativeTarget(std::uint32_t site) {
    std::int32_t displacement;
    std::memcpy(&displacement, code(site + 1), 4);
    return site + 5 + static_cast<std::uint32_t>(displacement);
}

}  // namespace plugin_code
