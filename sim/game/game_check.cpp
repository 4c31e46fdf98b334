#include "sim/game/game_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "host/host_interface.h"
#include "host/host_version.h"
#include "sim/cli/exit_status.h"
#include "sim/formats/message_words.h"
#include "sim/game/pe_image.h"

namespace sim::game {

namespace {

struct CallSite {
    host::Address address;
    const char* what;
    std::uint8_t opcode;  // the instruction the library expects there
};
using injector::call_opcode;
using injector::jump_opcode;
constexpr CallSite callSites[] = {
    {host::poolReadySite, "vehicle pool ready", call_opcode},
    {host::vehicleCreatedSite, "vehicle created", call_opcode},
    {host::vehicleDestroyedSite, "vehicle destroyed", call_opcode},
    {host::vehicleRenderCallSite, "vehicle rendered (call)", call_opcode},
    {host::vehicleRenderJumpSite, "vehicle rendered (jump)", jump_opcode},
};

std::uint32_t rvaOf(host::Address address) { return address - host::preferredImageBase; }

std::string hexBytes(std::string_view bytes) {
    std::string text;
    for (char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%s%02X", text.empty() ? "" : " ",
                      static_cast<unsigned char>(byte));
        text += pair;
    }
    return text;
}

// What a site holds against what the library expects: empty if it is as expected.
std::string siteProblem(const PeImage& image, const CallSite& site) {
    const char* expected = site.opcode == call_opcode ? "a call" : "a jump";
    const std::optional<std::string_view> bytes = image.bytesAt(rvaOf(site.address), 5);
    if (!bytes) return "not in the file's data (expected " + std::string(expected) + ")";
    if (static_cast<std::uint8_t>((*bytes)[0]) != site.opcode) {
        return "holds " + hexBytes(*bytes) + ", where " + expected + " (" +
               hexBytes(std::string_view(reinterpret_cast<const char*>(&site.opcode), 1)) +
               ") is expected";
    }
    std::int32_t displacement;
    std::memcpy(&displacement, bytes->data() + 1, 4);
    const std::uint32_t target = rvaOf(site.address) + 5 + static_cast<std::uint32_t>(displacement);
    const PeSection* section = image.sectionAt(target);
    if (section == nullptr || !section->executable) {
        return "holds " + hexBytes(*bytes) + ": " + expected + " to " +
               hexAddress(target + host::preferredImageBase) + ", outside the game's code";
    }
    return {};
}

}  // namespace

GameCheck checkGame(std::string_view bytes, const std::string& fileName) {
    const PeImage image(bytes, fileName);
    // The library's own probe, reading the file where the loader would put the bytes.
    const std::int32_t build =
        injector::probe_host_version([&image](injector::address_t address, std::uint32_t& value) {
            const std::optional<std::string_view> found =
                image.bytesAt(rvaOf(static_cast<host::Address>(address)), 4);
            if (!found) return false;
            std::memcpy(&value, found->data(), 4);
            return true;
        });

    if (build == injector::unknown_host_version) {
        const host::Address first = host::buildSignatures[0].address;
        const std::optional<std::string_view> code = image.bytesAt(rvaOf(first), 4);
        const bool unreadable =
            !code || std::all_of(code->begin(), code->end(), [](char c) { return c == 0; });
        if (unreadable) {
            return {fileName +
                        ": the build cannot be told from this file: its code is packed or "
                        "protected on disk.\n"
                        "Vorlix checks the build again in memory when the game runs, and works "
                        "there if the build is one it supports.\n",
                    cli::exitGameNotReady};
        }
        return {fileName +
                    ": not a build that Vorlix knows. Vorlix loads in it, patches nothing and "
                    "stays inactive.\n",
                cli::exitGameNotReady};
    }
    const std::string name = fileName + ": build " + std::to_string(build);
    if (std::find(std::begin(host::hookedBuilds), std::end(host::hookedBuilds), build) ==
        std::end(host::hookedBuilds)) {
        return {name +
                    ", which Vorlix does not support. Vorlix loads in it, patches nothing and "
                    "stays inactive.\n",
                cli::exitGameNotReady};
    }

    std::string text = name + ", supported by Vorlix.\n";
    int changed = 0;
    for (const CallSite& site : callSites) {
        const std::string problem = siteProblem(image, site);
        text += "  call site " + hexAddress(site.address) + " (" + site.what +
                "): " + (problem.empty() ? "as Vorlix expects" : problem) + "\n";
        if (!problem.empty()) ++changed;
    }
    if (changed == 0) {
        text += "All five call sites hold what Vorlix expects.\n";
        return {text, 0};
    }
    text += std::to_string(changed) + (changed == 1 ? " call site was" : " call sites were") +
            " changed on disk by another program. Vorlix may miss what the game does there: put "
            "back the game's original executable.\n";
    return {text, cli::exitGameNotReady};
}

}  // namespace sim::game
