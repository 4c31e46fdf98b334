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

using host::PatchSite;

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
std::string siteProblem(const PeImage& image, const PatchSite& site) {
    const bool call = site.kind == host::SiteKind::call;
    const char* expected = call ? "a call" : "a jump";
    const std::uint8_t opcode = call ? injector::call_opcode : injector::jump_opcode;
    const std::optional<std::string_view> bytes = image.bytesAt(rvaOf(site.address), 5);
    if (!bytes) return "not in the file's data (expected " + std::string(expected) + ")";
    if (static_cast<std::uint8_t>((*bytes)[0]) != opcode) {
        return "holds " + hexBytes(*bytes) + ", where " + expected + " (" +
               hexBytes(std::string_view(reinterpret_cast<const char*>(&opcode), 1)) +
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

// Said of every build that Vorlix leaves alone.
std::string supportedBuilds() {
    std::string builds;
    for (std::size_t i = 0; i < std::size(host::hookedBuilds); ++i) {
        if (i > 0) builds += i + 1 == std::size(host::hookedBuilds) ? " and " : ", ";
        builds += std::to_string(host::hookedBuilds[i]);
    }
    return "Vorlix works with builds " + builds + " of the game's 32-bit version.\n";
}

// A file of no build at all is most often another program from the game's folder.
const char* const notTheGame =
    "Make sure you gave the game's main program, the file that runs the game itself, and not a "
    "launcher, an updater or a setup program.\n";

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
                    "stays inactive.\n" +
                    supportedBuilds() + notTheGame,
                cli::exitGameNotReady};
    }
    const std::string name = fileName + ": build " + std::to_string(build);
    if (std::find(std::begin(host::hookedBuilds), std::end(host::hookedBuilds), build) ==
        std::end(host::hookedBuilds)) {
        return {name +
                    ", which Vorlix does not support. Vorlix loads in it, patches nothing and "
                    "stays inactive.\n" +
                    supportedBuilds(),
                cli::exitGameNotReady};
    }

    std::string text = name + ", supported by Vorlix.\n";
    int changed = 0;
    for (const PatchSite* site : host::patchSites) {
        const std::string problem = siteProblem(image, *site);
        text += "  call site " + hexAddress(site->address) + " (" + site->what +
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
