#include "recording_animators.h"

#include <stdexcept>

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

template <int Animator>
void recordCall(const char* name, HostFrame* frame, VXData& data, CVehicle* vehicle) {
    record(Animator, name, frame, data, vehicle);
}

}  // namespace

const AnimatorTable animators{
    recordCall<0>, recordCall<1>, recordCall<2>, recordCall<3>, recordCall<4>,
    recordCall<5>, recordCall<6>, recordCall<7>, recordCall<8>,
};

}  // namespace recording
