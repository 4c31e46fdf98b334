#pragma once
// The substitute host's own definition of the host's objects and addresses. It is written from the
// host's side and never includes the library's headers, so that it checks the library's view of the
// host instead of repeating it.

#include <cstddef>
#include <cstdint>

static_assert(sizeof(void*) == 4, "the substitute host imitates a 32-bit x86 process");

namespace hostsim {

// Where things lie in the host image (preferred base 0x400000).
namespace address {
inline constexpr std::uint32_t imageBase = 0x400000;
inline constexpr std::uint32_t regionStart = 0x401000;
inline constexpr std::uint32_t regionEnd = 0xC00000;
inline constexpr std::uint32_t writableStart = 0xB00000;  // variables live from here on

inline constexpr std::uint32_t frameRotate = 0x7F1010;
inline constexpr std::uint32_t frameUpdateObjects = 0x7F0910;
inline constexpr std::uint32_t frameGetNodeName = 0x72FB30;
inline constexpr std::uint32_t modelInfoLookup = 0x403DA0;
inline constexpr std::uint32_t vectorMagnitude = 0x4082C0;

inline constexpr std::uint32_t vehiclePool = 0xB74494;
inline constexpr std::uint32_t timeStep = 0xB7CB64;
inline constexpr std::uint32_t timeCounter = 0xB7CB84;
inline constexpr std::uint32_t axisX = 0x8D2E00;
inline constexpr std::uint32_t axisY = 0x8D2E0C;
inline constexpr std::uint32_t axisZ = 0x8D2E18;

// The five call sites the library diverts.
inline constexpr std::uint32_t poolSite = 0x5BF85B;
inline constexpr std::uint32_t constructSite = 0x6D5F2F;
inline constexpr std::uint32_t destroySite = 0x6E2D35;
inline constexpr std::uint32_t renderCallSite = 0x6C4523;
inline constexpr std::uint32_t renderJumpSite = 0x6D0E89;
}  // namespace address

inline constexpr std::uint32_t allSites[] = {address::poolSite, address::renderCallSite,
                                             address::renderJumpSite, address::constructSite,
                                             address::destroySite};

struct SimLink {
    SimLink* next;
};

// An object attached to a frame; its flag byte lies 6 bytes before its link.
struct SimObject {
    std::uint8_t reserved0[2];
    std::uint8_t flags;
    std::uint8_t reserved1[5];
    SimLink link;
};
static_assert(offsetof(SimObject, link) - offsetof(SimObject, flags) == 6);

inline constexpr std::uint8_t renderFlag = 0x04;

struct SimFrame {
    float matrix[9];  // orientation, row-major; the host keeps it for drawing
    const char* name;
    SimFrame* parent;
    std::uint8_t reserved0[0x90 - 0x2C];
    SimLink objectList;  // head of a circular list of the attached objects' links
    std::uint32_t reserved1;
    SimFrame* firstChild;
    SimFrame* nextSibling;
};
static_assert(offsetof(SimFrame, name) == 0x24);
static_assert(offsetof(SimFrame, objectList) == 0x90);
static_assert(offsetof(SimFrame, firstChild) == 0x98);
static_assert(offsetof(SimFrame, nextSibling) == 0x9C);

struct SimModelObject {
    std::uint32_t reserved;
    SimFrame* root;
};
static_assert(offsetof(SimModelObject, root) == 4);

struct SimModelInfo {
    std::uint8_t reserved[0x40];
    float wheelScaleA;
    float wheelScaleB;
};
static_assert(offsetof(SimModelInfo, wheelScaleA) == 0x40);
static_assert(offsetof(SimModelInfo, wheelScaleB) == 0x44);

struct SimVehicle {
    std::uint8_t reserved0[0x18];
    SimModelObject* modelObject;
    std::uint8_t reserved1[0x22 - 0x1C];
    std::uint16_t modelIndex;
    std::uint8_t reserved2[0x44 - 0x24];
    float moveSpeed[3];
    std::uint8_t reserved3[0x428 - 0x50];
    std::uint8_t vehicleFlags;
    std::uint8_t reserved4[0x49C - 0x429];
    float driveInput;
    float rearBrakeInput;
    std::uint8_t reserved5[0x4B4 - 0x4A4];
    std::uint8_t currentGear;
    std::uint8_t reserved6[0x594 - 0x4B5];
    std::int32_t vehicleSubclass;
    std::uint8_t reserved7[0x754 - 0x598];
    float bikeTravelCounter;
    float bikeWheelSpeed[2];
    std::uint8_t reserved8[0x834 - 0x760];
    float travelCounter;
    std::uint8_t reserved9[0x848 - 0x838];
    float wheelSpeed[4];
    std::uint8_t reserved10[2584 - 0x858];
};
static_assert(sizeof(SimVehicle) == 2584);
static_assert(offsetof(SimVehicle, modelObject) == 0x18);
static_assert(offsetof(SimVehicle, modelIndex) == 0x22);
static_assert(offsetof(SimVehicle, moveSpeed) == 0x44);
static_assert(offsetof(SimVehicle, vehicleFlags) == 0x428);
static_assert(offsetof(SimVehicle, driveInput) == 0x49C);
static_assert(offsetof(SimVehicle, rearBrakeInput) == 0x4A0);
static_assert(offsetof(SimVehicle, currentGear) == 0x4B4);
static_assert(offsetof(SimVehicle, vehicleSubclass) == 0x594);
static_assert(offsetof(SimVehicle, bikeTravelCounter) == 0x754);
static_assert(offsetof(SimVehicle, bikeWheelSpeed) == 0x758);
static_assert(offsetof(SimVehicle, travelCounter) == 0x834);
static_assert(offsetof(SimVehicle, wheelSpeed) == 0x848);

struct SimPool {
    SimVehicle* objects;
    std::uint32_t reserved;
    std::uint32_t slotCount;
};
static_assert(offsetof(SimPool, slotCount) == 8);

// Where this program's host image lies. Host addresses are stated for the preferred base, where the
// image normally is; a program placed at another base holds it there instead, to see that the
// library translates the addresses it has to.
std::uintptr_t imageBase();
template <typename T = std::uint8_t>
T* inImage(std::uint32_t hostAddress) {
    return reinterpret_cast<T*>(hostAddress - address::imageBase + imageBase());
}

// Host variables, at their fixed addresses.
inline SimPool*& vehiclePoolVariable() { return *inImage<SimPool*>(address::vehiclePool); }
inline float& timeStepVariable() { return *inImage<float>(address::timeStep); }
inline std::uint32_t& timeCounterVariable() {
    return *inImage<std::uint32_t>(address::timeCounter);
}

}  // namespace hostsim
