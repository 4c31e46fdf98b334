// Somebody else's plug-in: it diverts two host sites to hooks of its own, the way such plug-ins do,
// and when it is unloaded writes back the bytes it found, whatever the sites hold by then. The
// construction site becomes a relative call into its hook. The render jump site becomes an indirect
// call through a cell of its own followed by a return, which does what the jump did and needs two
// bytes more (the host leaves them unused after the jump).

#include <cstdint>
#include <cstring>

#include "hostsim/host_layout.h"
#include "tests/startup/plugin_code.h"

namespace {

using hostsim::address::constructSite;
using hostsim::address::renderJumpSite;
using namespace plugin_code;

MemberFunction hostConstruct = nullptr;
MemberFunction hostRender = nullptr;
std::uint32_t constructCalls = 0;
std::uint32_t renderCalls = 0;
void (*watcher)(int hook) = nullptr;

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t constructHook(void* vehicle) {
    ++constructCalls;
    if (watcher != nullptr) watcher(0);
    return hostConstruct(vehicle);
}

__attribute__((thiscall, force_align_arg_pointer)) std::int32_t renderHook(void* vehicle) {
    ++renderCalls;
    if (watcher != nullptr) watcher(1);
    return hostRender(vehicle);
}

MemberFunction renderCell = &renderHook;

template <typename Value>
void putWord(std::uint8_t* at, Value value) {
    const auto word = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(value));
    std::memcpy(at, &word, 4);
}

struct Diversions {
    std::uint8_t savedConstruct[5];
    std::uint8_t savedRender[7];

    Diversions() {
        std::memcpy(savedConstruct, code(constructSite), sizeof savedConstruct);
        std::memcpy(savedRender, code(renderJumpSite), sizeof savedRender);
        hostConstruct = reinterpret_cast<MemberFunction>(relativeTarget(constructSite));
        hostRender = reinterpret_cast<MemberFunction>(relativeTarget(renderJumpSite));

        std::uint8_t call[5] = {0xE8};
        putWord(call + 1, reinterpret_cast<std::uintptr_t>(&constructHook) - (constructSite + 5));
        writeCode(constructSite, call, sizeof call);
        std::uint8_t callThroughCell[7] = {0xFF, 0x15, 0, 0, 0, 0, 0xC3};
        putWord(callThroughCell + 2, &renderCell);
        writeCode(renderJumpSite, callThroughCell, sizeof callThroughCell);
    }

    ~Diversions() {
        writeCode(constructSite, savedConstruct, sizeof savedConstruct);
        writeCode(renderJumpSite, savedRender, sizeof savedRender);
    }
} diversions;

}  // namespace

// How often each hook ran: 0 the construction hook, 1 the render hook.
EXPORTED std::uint32_t otherPluginHookCalls(int hook) {
    return hook == 0 ? constructCalls : renderCalls;
}

// Calls back with the hook's number as each hook begins, before it leads on.
EXPORTED void otherPluginWatch(void (*hookBegins)(int hook)) { watcher = hookBegins; }
