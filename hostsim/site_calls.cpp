#include "hostsim/site_calls.h"

#include "hostsim/vehicle_pool.h"

namespace hostsim {

namespace {

// The member-call routines load the object into ECX from their cdecl argument; see host_image.cpp.
std::uint8_t* memberRoutineStart(std::uint32_t site) { return inImage(site - 4); }

using PlainRoutine = std::int32_t (*)();
using MemberRoutine = std::int32_t (*)(SimVehicle*);

void callMemberRoutine(std::uint32_t site, SimVehicle* vehicle) {
    reinterpret_cast<MemberRoutine>(memberRoutineStart(site))(vehicle);
}

}  // namespace

void createPoolThroughSite(std::uint32_t slots) {
    setPendingPoolSize(slots);
    reinterpret_cast<PlainRoutine>(inImage(address::poolSite))();
}

void constructThroughSite(SimVehicle* vehicle) {
    callMemberRoutine(address::constructSite, vehicle);
}

void destroyThroughSite(SimVehicle* vehicle) { callMemberRoutine(address::destroySite, vehicle); }

void renderThroughSite(SimVehicle* vehicle, RenderSite site) {
    callMemberRoutine(site == RenderSite::call ? address::renderCallSite : address::renderJumpSite,
                      vehicle);
}

}  // namespace hostsim
