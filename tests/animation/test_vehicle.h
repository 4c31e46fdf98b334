#pragma once
// A vehicle of the substitute host with its own model and record, driven through the update pass,
// and the questions the animator tests ask of what the host recorded.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "animation/component_state.h"
#include "hostsim/host_calls.h"
#include "hostsim/sim_model.h"

namespace animtest {

using hostsim::FrameShape;
using hostsim::SimFrame;

// A frame with one attached object and the given children.
FrameShape frame(const std::string& name, std::vector<FrameShape> children = {});
// A frame whose children are named prefix0, prefix1, ... (count of them, one object each).
FrameShape frameWithChildren(const std::string& name, const std::string& prefix, int count);

class TestVehicle {
  public:
    explicit TestVehicle(const FrameShape& root, std::uint32_t slot = 0,
                         std::int32_t vehicleClass = 3);
    TestVehicle(const TestVehicle&) = delete;
    TestVehicle& operator=(const TestVehicle&) = delete;

    hostsim::SimModel model;
    hostsim::SimVehicle* sim;
    VXData record{nullptr};

    CVehicle* vehicle() const { return reinterpret_cast<CVehicle*>(sim); }
    SimFrame* operator[](const std::string& name);

    // Sets the host's inputs so that the speed estimate of the next pass truncates to kmh: by the
    // wheel speeds for the wheeled classes, by the move-speed vector (kmh >= 0 only) otherwise.
    void setSpeed(std::int32_t kmh);

    // One render of the vehicle at this time counter and step factor. Checks that the pass saw the
    // speed last set.
    void pass(std::uint32_t counter, float step = 1.0f);

    // Rotations the host was asked for on this frame since the vehicle was built, in order.
    std::vector<hostsim::RotationCall> rotationsOf(const SimFrame* frame) const;
    // Their angles, all of which must be about the given axis.
    std::vector<float> anglesOf(const SimFrame* frame, char axis) const;
    // Their sum in single precision, in call order.
    float totalAngle(const SimFrame* frame, char axis) const;
    std::size_t rotationCount() const;

    // Render flag of the frame's objects: true when all are set, false when all are clear.
    bool shown(const SimFrame* frame);
    bool hidden(const SimFrame* frame);
    // Names of the children of the frame whose objects are all shown.
    std::vector<std::string> shownChildren(const SimFrame* frame);

  private:
    std::int32_t expectedSpeed_ = 0;
};

// Runs passes at counters from, from + 1, ... (step factor 1) and writes what each did to the
// frame:
// '+' or '-' for one whole-degree turn about the axis, '.' for none, '?' for anything else. The
// hook runs before each pass with its counter.
std::string stepPattern(TestVehicle& vehicle, const SimFrame* frame, char axis, std::uint32_t from,
                        int passes, const std::function<void(std::uint32_t)>& beforePass = {});

// Angles written as runs of one sign, e.g. {-1,-1,+1} gives "-2+1".
std::string runs(const std::vector<float>& unitSteps);

}  // namespace animtest
