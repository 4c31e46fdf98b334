// Three more plug-ins of somebody else, each keeping a way to where a host site led when it loaded,
// one that outlives what the site holds. Built three times, STUB_HOLDER choosing which:
// 1. keeps a trampoline: it diverts the construction site, then puts its bytes back and keeps the
//    old destination callable, as a disabled hook that keeps its trampoline does;
// 2. repoints a cell: its render jump site calls through a cell of its own, and it takes its hook
//    back by repointing the cell to the host's function, never touching the site;
// 3. hooks the stub: it diverts the function the construction site calls, whatever that is, with a
//    jump over its first five bytes, and writes them back when it goes.

#include <cstdint>
#include <cstring>

#include "hostsim/host_layout.h"
#include "tests/startup/plugin_code.h"

namespace {

using hostsim::address::constructSite;
using hostsim::address::renderJumpSite;
using namespace plugin_code;

std::uint32_t wordOf(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

[[maybe_unused]] void putBranch(std::uint8_t* bytes, std::uint8_t opcode, std::uint32_t at,
                                std::uint32_t to) {
    bytes[0] = opcode;
    const std::uint32_t displacement = to - (at + 5);
    std::memcpy(bytes + 1, &displacement, 4);
}

// Where the construction site led when this plug-in loaded, and how often its hook ran.
MemberFunction kept = nullptr;
std::uint32_t hookCalls = 0;

[[maybe_unused]] __attribute__((thiscall, force_align_arg_pointer)) std::int32_t hook(
    void* vehicle) {
    ++hookCalls;
    return kept(vehicle);
}

#if STUB_HOLDER == 1
struct Holder {
    Holder() {
        std::uint8_t saved[5];
        std::memcpy(saved, code(constructSite), sizeof saved);
        kept = reinterpret_cast<MemberFunction>(relativeTarget(constructSite));
        std::uint8_t call[5];
        putBranch(call, 0xE8, constructSite, wordOf(reinterpret_cast<void*>(&hook)));
        writeCode(constructSite, call, sizeof call);
        writeCode(constructSite, saved, sizeof saved);
    }
} holder;
#elif STUB_HOLDER == 2
MemberFunction renderCell = nullptr;
MemberFunction hostRender = nullptr;

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t renderHook(void* vehicle) {
    ++hookCalls;
    return hostRender(vehicle);
}

struct Holder {
    std::uint8_t saved[7];
    Holder() {
        std::memcpy(saved, code(renderJumpSite), sizeof saved);
        hostRender = reinterpret_cast<MemberFunction>(relativeTarget(renderJumpSite));
        renderCell = &renderHook;
        std::uint8_t callThroughCell[7] = {0xFF, 0x15, 0, 0, 0, 0, 0xC3};
        const std::uint32_t cell = wordOf(&renderCell);
        std::memcpy(callThroughCell + 2, &cell, 4);
        writeCode(renderJumpSite, callThroughCell, sizeof callThroughCell);
    }
    ~Holder() { writeCode(renderJumpSite, saved, sizeof saved); }
} holder;
#elif STUB_HOLDER == 3
// The first bytes of the hooked function, to run before leading on to the rest of it: Vorlix's
// stub is one instruction, an absolute jump, so the copy runs anywhere.
std::uint8_t* trampoline = nullptr;

struct Holder {
    std::uint32_t function = 0;
    std::uint8_t saved[6];
    Holder() {
        function = relativeTarget(constructSite);
        std::memcpy(saved, code(function), sizeof saved);
#ifdef _WIN32
        trampoline = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
#else
        trampoline = static_cast<std::uint8_t*>(mmap(
            nullptr, 4096, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
#endif
        std::memcpy(trampoline, saved, sizeof saved);
        kept = reinterpret_cast<MemberFunction>(trampoline);
        std::uint8_t jump[5];
        putBranch(jump, 0xE9, function, wordOf(reinterpret_cast<void*>(&hook)));
        writeCode(function, jump, sizeof jump);
    }
    // Writes back what it found, where it found it; the trampoline stays, as such plug-ins leave
    // it.
    ~Holder() { writeCode(function, saved, sizeof saved); }
} holder;
#endif

}  // namespace

EXPORTED std::uint32_t stubHolderHookCalls() { return hookCalls; }

// Calls what this plug-in kept of the site, as a hook still running in it would.
EXPORTED std::int32_t stubHolderCallKept(void* vehicle) { return kept(vehicle); }

#if STUB_HOLDER == 2
// Takes the hook back the way this plug-in does: the cell leads to the host's function again.
EXPORTED void stubHolderUnhook() { renderCell = hostRender; }
#endif
