#include "hostsim/host_functions.h"

#include <cmath>

#include "hostsim/host_calls.h"
#include "hostsim/vehicle_pool.h"

namespace hostsim {

HostCallLog& hostCallLog() {
    static HostCallLog log;
    return log;
}

namespace {

char axisName(const float* axis) {
    if (axis == inImage<float>(address::axisX)) return 'x';
    if (axis == inImage<float>(address::axisY)) return 'y';
    if (axis == inImage<float>(address::axisZ)) return 'z';
    return '?';
}

// Turns the frame's orientation about a unit axis, on top of what it has (combine 1).
void turnMatrix(float* m, const float* axis, float degrees) {
    const float radians = degrees * 0.017453292f;
    const float c = std::cos(radians), s = std::sin(radians), t = 1.0f - c;
    const float x = axis[0], y = axis[1], z = axis[2];
    const float r[9] = {t * x * x + c,     t * x * y - s * z, t * x * z + s * y,
                        t * x * y + s * z, t * y * y + c,     t * y * z - s * x,
                        t * x * z - s * y, t * y * z + s * x, t * z * z + c};
    float out[9];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            out[row * 3 + col] =
                m[row * 3] * r[col] + m[row * 3 + 1] * r[3 + col] + m[row * 3 + 2] * r[6 + col];
        }
    }
    for (int i = 0; i < 9; ++i) m[i] = out[i];
}

}  // namespace

extern "C" SimFrame* simFrameRotate(SimFrame* frame, const float* axis, float angle,
                                    std::int32_t combine) {
    HostCallLog& log = hostCallLog();
    if (log.recording) {
        log.rotations.push_back({frame, axisName(axis), angle});
        if (combine == 1) turnMatrix(frame->matrix, axis, angle);
    }
    return frame;
}

extern "C" SimFrame* simFrameUpdateObjects(SimFrame* frame) {
    HostCallLog& log = hostCallLog();
    if (log.recording) log.updates.push_back(frame);
    return frame;
}

extern "C" const char* simFrameGetNodeName(SimFrame* frame) {
    HostCallLog& log = hostCallLog();
    if (log.recording) log.nameQueries.push_back(frame);
    return frame->name;
}

extern "C" SimModelInfo* simModelInfoLookup(std::uint32_t index) {
    return modelInfo(static_cast<std::uint16_t>(index));
}

__attribute__((thiscall)) float simVectorMagnitude(const float* v) {
    return std::sqrt((v[0] * v[0] + v[1] * v[1]) + v[2] * v[2]);
}

}  // namespace hostsim
