#include "test_vehicle.h"

#include <gtest/gtest.h>

#include "animation/update_pass.h"
#include "hostsim/host_image.h"
#include "hostsim/vehicle_pool.h"

namespace animtest {

namespace {

void prepareHost() {
    static const bool prepared = [] {
        hostsim::layOutHostImage(1001);
        hostsim::createVehiclePool(4);
        return true;
    }();
    (void)prepared;
}

}  // namespace

FrameShape frame(const std::string& name, std::vector<FrameShape> children) {
    return FrameShape{name, 1, false, std::move(children)};
}

FrameShape frameWithChildren(const std::string& name, const std::string& prefix, int count) {
    FrameShape shape = frame(name);
    for (int i = 0; i < count; ++i) shape.children.push_back(frame(prefix + std::to_string(i)));
    return shape;
}

TestVehicle::TestVehicle(const FrameShape& root, std::uint32_t slot, std::int32_t vehicleClass)
    : model((prepareHost(), root)), sim(hostsim::vehicleInSlot(slot)) {
    *sim = hostsim::SimVehicle{};
    sim->modelObject = model.modelObject();
    sim->vehicleSubclass = vehicleClass;
    hostsim::hostCallLog().recording = true;
    hostsim::hostCallLog().clear();
}

SimFrame* TestVehicle::operator[](const std::string& name) {
    SimFrame* found = model.find(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void TestVehicle::setSpeed(std::int32_t kmh) {
    expectedSpeed_ = kmh;
    // Half a unit beyond the value, away from zero, so that truncation lands on it.
    const double target = kmh == 0 ? 0.0 : kmh + (kmh > 0 ? 0.5 : -0.5);
    const float wheel = static_cast<float>(-target * 2.4500000476837158 / 186.0);
    const std::int32_t vehicleClass = sim->vehicleSubclass;
    if (vehicleClass == 9 || vehicleClass == 10) {
        sim->bikeWheelSpeed[0] = sim->bikeWheelSpeed[1] = wheel;
    } else if (vehicleClass >= 0 && vehicleClass <= 2) {
        for (float& w : sim->wheelSpeed) w = wheel;
    } else {
        ASSERT_GE(kmh, 0) << "the move-speed form is never negative";
        sim->moveSpeed[0] = static_cast<float>(target / 180.0);
    }
}

void TestVehicle::pass(std::uint32_t counter, float step) {
    hostsim::timeCounterVariable() = counter;
    hostsim::timeStepVariable() = step;
    updateVehicle(vehicle(), record);
    EXPECT_EQ(record.passSpeed, expectedSpeed_);
}

std::vector<hostsim::RotationCall> TestVehicle::rotationsOf(const SimFrame* frame) const {
    std::vector<hostsim::RotationCall> found;
    for (const hostsim::RotationCall& call : hostsim::hostCallLog().rotations) {
        if (call.frame == frame) found.push_back(call);
    }
    return found;
}

std::vector<float> TestVehicle::anglesOf(const SimFrame* frame, char axis) const {
    std::vector<float> angles;
    for (const hostsim::RotationCall& call : rotationsOf(frame)) {
        EXPECT_EQ(call.axis, axis) << frame->name;
        angles.push_back(call.angle);
    }
    return angles;
}

float TestVehicle::totalAngle(const SimFrame* frame, char axis) const {
    float total = 0.0f;
    for (float angle : anglesOf(frame, axis)) total += angle;
    return total;
}

std::size_t TestVehicle::rotationCount() const { return hostsim::hostCallLog().rotations.size(); }

bool TestVehicle::shown(const SimFrame* frame) {
    const auto index = static_cast<std::size_t>(model.indexOf(frame));
    for (int i = 0; i < model.objectCount(index); ++i) {
        if ((model.objectFlags(index, i) & hostsim::renderFlag) == 0) return false;
    }
    return true;
}

bool TestVehicle::hidden(const SimFrame* frame) {
    const auto index = static_cast<std::size_t>(model.indexOf(frame));
    for (int i = 0; i < model.objectCount(index); ++i) {
        if ((model.objectFlags(index, i) & hostsim::renderFlag) != 0) return false;
    }
    return true;
}

std::vector<std::string> TestVehicle::shownChildren(const SimFrame* frame) {
    std::vector<std::string> names;
    for (SimFrame* child = frame->firstChild; child != nullptr; child = child->nextSibling) {
        if (shown(child)) names.emplace_back(child->name);
    }
    return names;
}

std::string stepPattern(TestVehicle& vehicle, const SimFrame* frame, char axis, std::uint32_t from,
                        int passes, const std::function<void(std::uint32_t)>& beforePass) {
    std::string pattern;
    for (int i = 0; i < passes; ++i) {
        const std::uint32_t counter = from + static_cast<std::uint32_t>(i);
        if (beforePass) beforePass(counter);
        const std::size_t before = vehicle.rotationsOf(frame).size();
        vehicle.pass(counter);
        const std::vector<hostsim::RotationCall> calls = vehicle.rotationsOf(frame);
        if (calls.size() == before) {
            pattern += '.';
        } else if (calls.size() == before + 1 && calls.back().axis == axis &&
                   calls.back().angle == 1.0f) {
            pattern += '+';
        } else if (calls.size() == before + 1 && calls.back().axis == axis &&
                   calls.back().angle == -1.0f) {
            pattern += '-';
        } else {
            pattern += '?';
        }
    }
    return pattern;
}

std::string runs(const std::vector<float>& unitSteps) {
    std::string text;
    for (std::size_t i = 0; i < unitSteps.size();) {
        std::size_t end = i;
        while (end < unitSteps.size() && unitSteps[end] == unitSteps[i]) ++end;
        text += (unitSteps[i] > 0 ? "+" : "-") + std::to_string(end - i);
        if (unitSteps[i] != 1.0f && unitSteps[i] != -1.0f) text += "?";  // not a whole-degree step
        i = end;
    }
    return text;
}

}  // namespace animtest
