#include "recording_animators.h"

#include <stdexcept>

#include "animation/animators.h"

namespace recording {

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

namespace {

void record(int animator, std::string_view name, HostFrame* frame, VXData& data,
            CVehicle* vehicle) {
    Recorder& r = recorder();
    r.calls.push_back({animator, std::string(name), frame, &data, vehicle});
    if (animator != r.failingAnimator || name.find(r.failMarker) == std::string::npos) return;
    switch (r.failure) {
        case Failure::none:
            break;
        case Failure::outOfRange:
            throw std::out_of_range("stoi argument out of range");
        case Failure::invalidArgument:
            throw std::invalid_argument("invalid stof argument");
        case Failure::other:
            throw 42;
    }
}

}  // namespace

}  // namespace recording

void animateChain(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(0, n, f, r, v);
}
void animateFrontBrake(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(1, n, f, r, v);
}
void animateRearBrake(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(2, n, f, r, v);
}
void animateClutchLever(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(3, n, f, r, v);
}
void animateGearLever(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(4, n, f, r, v);
}
void animateGearMeter(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(5, n, f, r, v);
}
void animateOdometer(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(6, n, f, r, v);
}
void animateSpeedometer(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(7, n, f, r, v);
}
void animateRevCounter(const char* n, HostFrame* f, VXData& r, CVehicle* v) {
    recording::record(8, n, f, r, v);
}
