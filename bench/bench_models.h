#pragma once
// The models and vehicles the benchmark and the allocation test run: a reference motorbike with
// every component, and generated models of any size.

#include <cstdint>
#include <memory>
#include <vector>

#include "animation/component_state.h"
#include "hostsim/sim_model.h"

namespace bench {

// 60 frames, 12 of them "vx_" frames, every component present.
hostsim::FrameShape referenceBike();
// frameCount frames; every fifth one is a "vx_" frame, cycling through the components.
hostsim::FrameShape generatedModel(int frameCount);

// A fleet of vehicles in the substitute host's pool, each with its own model and record.
class Fleet {
  public:
    Fleet(const hostsim::FrameShape& model, int vehicles);
    ~Fleet();

    // Sets every vehicle's inputs for pass number pass, so that all components keep moving.
    void driveInputs(int pass);
    // The host's side of render tick pass: the clock advances and the inputs change.
    void startTick(int pass);
    // The update pass on every vehicle.
    void updateAll();
    // The first passes, in which every component configures; returns the number of the next
    // pass, the first ordinary one.
    int warmUp();
    std::size_t size() const { return vehicles_.size(); }
    CVehicle* vehicle(std::size_t i) { return reinterpret_cast<CVehicle*>(vehicles_[i]); }
    VXData& record(std::size_t i) { return *records_[i]; }
    HostFrame* rootFrame(std::size_t i) { return reinterpret_cast<HostFrame*>(models_[i]->root()); }
    std::size_t framesPerModel() const { return models_.front()->frameCount(); }

  private:
    std::vector<std::unique_ptr<hostsim::SimModel>> models_;
    std::vector<hostsim::SimVehicle*> vehicles_;
    std::vector<std::unique_ptr<VXData>> records_;
};

// Advances the host clock by one render tick.
void advanceClock(int pass);

// The floor of any update pass: ask the host for every frame's name and test the "vx_" prefix.
std::uint32_t walkNamesOnly(HostFrame* frame);

}  // namespace bench
