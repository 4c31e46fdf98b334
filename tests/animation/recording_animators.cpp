#include "recording_animators.h"

namespace recording {

Recorder& recorder() {
    static Recorder instance;
    return instance;
}

namespace {

void record(int animator, std::string_view name, HostFrame* frame, VXData& data,
            CVehicle* vehicle) {
    recorder().calls.push_back({animator, std::string(name), frame, &data, vehicle});
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
