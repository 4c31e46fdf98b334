#pragma once
// Everything the library knows of the host process: the fixed addresses of its functions and
// variables, the layouts of its vehicle, frame, pool and model-information objects, the signatures
// that tell its builds apart and the call sites the library patches. No other file of the library
// holds a host address or offset.

#include <cstdint>
#include <cstring>

static_assert(sizeof(void*) == 4, "the host is a 32-bit x86 process");

// Host objects are opaque: they are reached only through the accessors below.
struct CVehicle;
struct HostFrame;
struct ModelInfo;

namespace host {

using Address = std::uint32_t;

// Host functions.
inline constexpr Address frameRotateAddress = 0x007F1010;
inline constexpr Address frameUpdateObjectsAddress = 0x007F0910;
inline constexpr Address frameGetNodeNameAddress = 0x0072FB30;
inline constexpr Address modelInfoLookupAddress = 0x00403DA0;
inline constexpr Address vectorMagnitudeAddress = 0x004082C0;

// Host variables.
inline constexpr Address vehiclePoolAddress = 0x00B74494;
inline constexpr Address timeStepAddress = 0x00B7CB64;
inline constexpr Address timeCounterAddress = 0x00B7CB84;
inline constexpr Address axisXAddress = 0x008D2E00;
inline constexpr Address axisYAddress = 0x008D2E0C;
inline constexpr Address axisZAddress = 0x008D2E18;

// --- Builds and patched call sites ------------------------------------------------------------
// Stated for the image's preferred base: these addresses are moved to where the image is loaded,
// unlike the ones above, which are used as they stand.
inline constexpr Address preferredImageBase = 0x400000;

// A build is recognised by the 32-bit value at an address of its code. Tried in this order; the
// first match decides.
struct BuildSignature {
    Address address;
    std::uint32_t value;
    std::int32_t version;
};
inline constexpr BuildSignature buildSignatures[] = {
    {0x401000, 0x53EC8B55, 1001}, {0x401000, 0x16197BE9, 1002}, {0x8245BC, 0x000094BF, 1011},
    {0x8252FC, 0x000094BF, 1101}, {0x82533C, 0x000094BF, 1111}, {0x858D51, 0x3539F633, 3200},
    {0x858C61, 0x3539F633, 3210},
};

// The builds whose call sites the library patches; in every other build it stays inactive.
inline constexpr std::int32_t hookedBuilds[] = {1001, 1002};

// What the instruction at a patched site does: calls the host function, or jumps to it, so that
// the function returns straight to the caller of the code that holds the site.
enum class SiteKind : std::uint8_t { call, jump };

// A host site that the library patches, the same in builds 1001 and 1002.
struct PatchSite {
    Address address;
    SiteKind kind;
    const char* what;  // the event it raises, as the tools name it
};

namespace sites {
inline constexpr PatchSite poolReady{0x5BF85B, SiteKind::call, "vehicle pool ready"};
inline constexpr PatchSite vehicleCreated{0x6D5F2F, SiteKind::call, "vehicle created"};
inline constexpr PatchSite vehicleDestroyed{0x6E2D35, SiteKind::call, "vehicle destroyed"};
inline constexpr PatchSite vehicleRenderCall{0x6C4523, SiteKind::call, "vehicle rendered (call)"};
inline constexpr PatchSite vehicleRenderJump{0x6D0E89, SiteKind::jump, "vehicle rendered (jump)"};
}  // namespace sites

// Every patched site, in the order of the events they raise.
inline constexpr const PatchSite* patchSites[] = {
    &sites::poolReady, &sites::vehicleCreated, &sites::vehicleDestroyed, &sites::vehicleRenderCall,
    &sites::vehicleRenderJump};

// Vehicles sit in the pool's object array at this stride.
inline constexpr std::int32_t vehicleStride = 2584;

// Offsets inside host objects.
namespace offsets {
inline constexpr std::uint32_t poolObjects = 0x0;
inline constexpr std::uint32_t poolSlotCount = 0x8;

inline constexpr std::uint32_t frameObjectList = 0x90;
inline constexpr std::uint32_t frameFirstChild = 0x98;
inline constexpr std::uint32_t frameNextSibling = 0x9C;
inline constexpr std::int32_t objectFlagsBeforeLink = -6;

inline constexpr std::uint32_t modelObjectRootFrame = 0x4;

inline constexpr std::uint32_t wheelScaleA = 0x40;
inline constexpr std::uint32_t wheelScaleB = 0x44;

inline constexpr std::uint32_t modelObject = 0x18;
inline constexpr std::uint32_t modelIndex = 0x22;
inline constexpr std::uint32_t moveSpeed = 0x44;
inline constexpr std::uint32_t vehicleFlags = 0x428;
inline constexpr std::uint32_t driveInput = 0x49C;
inline constexpr std::uint32_t rearBrakeInput = 0x4A0;
inline constexpr std::uint32_t currentGear = 0x4B4;
inline constexpr std::uint32_t vehicleSubclass = 0x594;
inline constexpr std::uint32_t bikeTravelCounter = 0x754;
inline constexpr std::uint32_t bikeWheelSpeed = 0x758;
inline constexpr std::uint32_t travelCounter = 0x834;
inline constexpr std::uint32_t wheelSpeed = 0x848;
}  // namespace offsets

// Render flag in an attached object's flag byte.
inline constexpr std::uint8_t renderFlag = 0x04;

// Bits of a vehicle's flag byte.
inline constexpr std::uint8_t frontBrakeFlag = 0x20;  // the front brake is held
inline constexpr std::uint8_t throttleFlag = 0x10;    // the engine is driven, the revs rise

// Vehicle classes, as the subclass field gives them. The motorbike and the bicycle report two wheel
// speeds, the car classes four; only the motorbike counts its travel in a counter of its own.
inline constexpr std::int32_t motorbikeClass = 9;
inline constexpr std::int32_t bicycleClass = 10;
inline constexpr std::int32_t firstCarClass = 0;
inline constexpr std::int32_t lastCarClass = 2;

constexpr bool hasTwoWheelSpeeds(std::int32_t vehicleClass) {
    return vehicleClass == motorbikeClass || vehicleClass == bicycleClass;
}
constexpr bool hasFourWheelSpeeds(std::int32_t vehicleClass) {
    return vehicleClass >= firstCarClass && vehicleClass <= lastCarClass;
}
constexpr bool hasOwnTravelCounter(std::int32_t vehicleClass) {
    return vehicleClass == motorbikeClass;
}

// Reads a value of type T at a byte offset from a host object; memcpy keeps the access free of
// aliasing assumptions and compiles to a plain load.
template <typename T>
inline T read(const void* object, std::uint32_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof(T));
    return value;
}

template <typename T>
inline T readVariable(Address address) {
    return read<T>(reinterpret_cast<const void*>(address), 0);
}

// --- Variables -------------------------------------------------------------------------------

inline void* vehiclePool() { return readVariable<void*>(vehiclePoolAddress); }
inline std::uintptr_t poolObjects(const void* pool) {
    return read<std::uintptr_t>(pool, offsets::poolObjects);
}
inline std::uint32_t poolSlotCount(const void* pool) {
    return read<std::uint32_t>(pool, offsets::poolSlotCount);
}
inline float timeStep() { return readVariable<float>(timeStepAddress); }
inline std::uint32_t timeCounter() { return readVariable<std::uint32_t>(timeCounterAddress); }
inline const float* axisX() { return reinterpret_cast<const float*>(axisXAddress); }
inline const float* axisY() { return reinterpret_cast<const float*>(axisYAddress); }
inline const float* axisZ() { return reinterpret_cast<const float*>(axisZAddress); }

// --- Vehicle fields --------------------------------------------------------------------------

inline void* modelObject(const CVehicle* v) { return read<void*>(v, offsets::modelObject); }
inline HostFrame* rootFrame(const void* modelObject) {
    return read<HostFrame*>(modelObject, offsets::modelObjectRootFrame);
}
inline std::uint16_t modelIndex(const CVehicle* v) {
    return read<std::uint16_t>(v, offsets::modelIndex);
}
inline float moveSpeed(const CVehicle* v, int i) {
    return read<float>(v, offsets::moveSpeed + 4 * i);
}
inline const float* moveSpeedVector(const CVehicle* v) {
    return reinterpret_cast<const float*>(reinterpret_cast<const unsigned char*>(v) +
                                          offsets::moveSpeed);
}
inline std::uint8_t vehicleFlags(const CVehicle* v) {
    return read<std::uint8_t>(v, offsets::vehicleFlags);
}
inline float driveInput(const CVehicle* v) { return read<float>(v, offsets::driveInput); }
inline float rearBrakeInput(const CVehicle* v) { return read<float>(v, offsets::rearBrakeInput); }
inline std::uint8_t currentGear(const CVehicle* v) {
    return read<std::uint8_t>(v, offsets::currentGear);
}
inline std::int32_t vehicleSubclass(const CVehicle* v) {
    return read<std::int32_t>(v, offsets::vehicleSubclass);
}
inline float bikeTravelCounter(const CVehicle* v) {
    return read<float>(v, offsets::bikeTravelCounter);
}
inline float bikeWheelSpeed(const CVehicle* v, int i) {
    return read<float>(v, offsets::bikeWheelSpeed + 4 * i);
}
inline float travelCounter(const CVehicle* v) { return read<float>(v, offsets::travelCounter); }
inline float wheelSpeed(const CVehicle* v, int i) {
    return read<float>(v, offsets::wheelSpeed + 4 * i);
}

// --- Model information -----------------------------------------------------------------------

inline float wheelScaleA(const ModelInfo* m) { return read<float>(m, offsets::wheelScaleA); }
inline float wheelScaleB(const ModelInfo* m) { return read<float>(m, offsets::wheelScaleB); }

// --- Frames and attached objects -------------------------------------------------------------

inline HostFrame* firstChild(const HostFrame* f) {
    return read<HostFrame*>(f, offsets::frameFirstChild);
}
inline HostFrame* nextSibling(const HostFrame* f) {
    return read<HostFrame*>(f, offsets::frameNextSibling);
}

// The object list is circular: each link's first word is the next link, and the head sits in the
// frame itself.
inline void* objectListHead(HostFrame* f) {
    return reinterpret_cast<unsigned char*>(f) + offsets::frameObjectList;
}
inline void* nextLink(const void* link) { return read<void*>(link, 0); }
inline std::uint8_t* objectFlags(void* link) {
    return static_cast<std::uint8_t*>(link) + offsets::objectFlagsBeforeLink;
}

// --- Host functions --------------------------------------------------------------------------
// Each pointer type carries the exact return type: a float function called as void would leave
// its value on the x87 stack.

using FrameRotateFn = HostFrame* (*)(HostFrame*, const float*, float, std::int32_t);
using FrameUpdateObjectsFn = HostFrame* (*)(HostFrame*);
using FrameGetNodeNameFn = const char* (*)(HostFrame*);
using ModelInfoLookupFn = ModelInfo* (*)(std::uint32_t);
using VectorMagnitudeFn = float(__attribute__((thiscall)) *)(const float*);

inline void frameRotate(HostFrame* frame, const float* axis, float angle) {
    reinterpret_cast<FrameRotateFn>(frameRotateAddress)(frame, axis, angle, 1);
}
inline void frameUpdateObjects(HostFrame* frame) {
    reinterpret_cast<FrameUpdateObjectsFn>(frameUpdateObjectsAddress)(frame);
}
inline const char* frameGetNodeName(HostFrame* frame) {
    return reinterpret_cast<FrameGetNodeNameFn>(frameGetNodeNameAddress)(frame);
}
inline ModelInfo* modelInfoLookup(std::uint16_t index) {
    return reinterpret_cast<ModelInfoLookupFn>(modelInfoLookupAddress)(index);
}
inline float vectorMagnitude(const float* vector) {
    return reinterpret_cast<VectorMagnitudeFn>(vectorMagnitudeAddress)(vector);
}

}  // namespace host
