#include "hostsim/host_image.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "hostsim/host_functions.h"
#include "hostsim/memory_protection.h"
#include "hostsim/vehicle_pool.h"

// The reserved host range (host_region.cpp).
extern "C" char hostsimRegion[];

namespace hostsim {

namespace {

// The 32-bit values by which the library tells the host builds apart, at their host addresses.
struct BuildSignature {
    std::int32_t version;
    std::uint32_t at;
    std::uint8_t bytes[4];
};
constexpr BuildSignature buildSignatures[] = {
    {1001, 0x401000, {0x55, 0x8B, 0xEC, 0x53}}, {1002, 0x401000, {0xE9, 0x7B, 0x19, 0x16}},
    {1011, 0x8245BC, {0xBF, 0x94, 0x00, 0x00}}, {1101, 0x8252FC, {0xBF, 0x94, 0x00, 0x00}},
    {1111, 0x82533C, {0xBF, 0x94, 0x00, 0x00}}, {3200, 0x858D51, {0x33, 0xF6, 0x39, 0x35}},
    {3210, 0x858C61, {0x33, 0xF6, 0x39, 0x35}},
};

std::uint8_t* at(std::uint32_t address) { return inImage(address); }

// Where this image holds a host address: branch displacements are counted from there, so that
// the routines reach the functions at whatever base the image lies.
std::uint32_t imageAddress(std::uint32_t address) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(inImage(address)));
}

template <typename Function>
std::uint32_t addressOf(Function* function) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(function));
}

// Writes opcode and a rel32 displacement to target at address; returns the address after it.
std::uint32_t writeBranch(std::uint32_t address, std::uint8_t opcode, std::uint32_t target) {
    at(address)[0] = opcode;
    const std::uint32_t displacement = target - (imageAddress(address) + 5);
    std::memcpy(at(address + 1), &displacement, 4);
    return address + 5;
}

constexpr std::uint8_t callOpcode = 0xE8, jumpOpcode = 0xE9, returnOpcode = 0xC3;
constexpr std::uint8_t loadEcxFromFirstArgument[] = {0x8B, 0x4C, 0x24, 0x04};  // mov ecx,[esp+4]

// A routine that calls (or jumps to) a member function with the object passed as its cdecl
// argument, so that the site instruction sits at site.
void writeMemberCallRoutine(std::uint32_t site, std::uint8_t opcode, std::uint32_t target) {
    const std::uint32_t start = site - sizeof loadEcxFromFirstArgument;
    std::memcpy(at(start), loadEcxFromFirstArgument, sizeof loadEcxFromFirstArgument);
    const std::uint32_t next = writeBranch(site, opcode, target);
    if (opcode == callOpcode) at(next)[0] = returnOpcode;
}

std::map<std::uint32_t, std::array<std::uint8_t, 5>>& laidOutSiteBytes() {
    static std::map<std::uint32_t, std::array<std::uint8_t, 5>> bytes;
    return bytes;
}

float axisVectors[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};

void protectImage(std::uint32_t start, std::uint32_t end, Protection protection) {
    protectPages(imageAddress(start), imageAddress(end), protection);
}

}  // namespace

bool isKnownHostVersion(std::int32_t version) {
    return std::find(std::begin(knownHostVersions), std::end(knownHostVersions), version) !=
           std::end(knownHostVersions);
}

std::uintptr_t imageBase() {
    const auto region = reinterpret_cast<std::uintptr_t>(hostsimRegion);
    return region - (address::regionStart - address::imageBase);
}

void layOutHostImage(std::int32_t version, std::initializer_list<std::int32_t> alsoCarrying) {
    protectImage(address::regionStart, address::regionEnd, Protection::readWrite);
    std::memset(at(address::regionStart), 0, address::regionEnd - address::regionStart);

    for (const BuildSignature& signature : buildSignatures) {
        const bool carried =
            std::ranges::find(alsoCarrying, signature.version) != alsoCarrying.end();
        if (signature.version == version || carried) {
            std::memcpy(at(signature.at), signature.bytes, 4);
        }
    }

    writeBranch(address::frameRotate, jumpOpcode, addressOf(&simFrameRotate));
    writeBranch(address::frameUpdateObjects, jumpOpcode, addressOf(&simFrameUpdateObjects));
    writeBranch(address::frameGetNodeName, jumpOpcode, addressOf(&simFrameGetNodeName));
    writeBranch(address::modelInfoLookup, jumpOpcode, addressOf(&simModelInfoLookup));
    writeBranch(address::vectorMagnitude, jumpOpcode, addressOf(&simVectorMagnitude));
    std::memcpy(at(address::axisX), axisVectors, sizeof axisVectors);

    // The pool site is a plain call with no arguments.
    at(writeBranch(address::poolSite, callOpcode, addressOf(&simCreateVehiclePool)))[0] =
        returnOpcode;
    writeMemberCallRoutine(address::constructSite, callOpcode, addressOf(&simConstructVehicle));
    writeMemberCallRoutine(address::destroySite, callOpcode, addressOf(&simDestroyVehicle));
    writeMemberCallRoutine(address::renderCallSite, callOpcode, addressOf(&simRenderVehicle));
    // The jump site hands over to the render function, which returns straight to our caller.
    writeMemberCallRoutine(address::renderJumpSite, jumpOpcode, addressOf(&simRenderVehicle));

    for (std::uint32_t site : allSites) laidOutSiteBytes()[site] = currentSiteBytes(site);

    timeStepVariable() = 1.0f;
    timeCounterVariable() = 0;
    vehiclePoolVariable() = nullptr;

    protectImage(address::regionStart, address::writableStart, Protection::executeRead);
    protectImage(address::writableStart, address::regionEnd, Protection::readWrite);
}

std::array<std::uint8_t, 5> originalSiteBytes(std::uint32_t site) {
    return laidOutSiteBytes().at(site);
}

std::array<std::uint8_t, 5> currentSiteBytes(std::uint32_t site) {
    std::array<std::uint8_t, 5> bytes;
    std::memcpy(bytes.data(), at(site), 5);
    return bytes;
}

std::vector<std::uint32_t> patchedSites() {
    std::vector<std::uint32_t> sites;
    for (std::uint32_t site : allSites) {
        if (currentSiteBytes(site) != originalSiteBytes(site)) sites.push_back(site);
    }
    std::sort(sites.begin(), sites.end());
    return sites;
}

}  // namespace hostsim
