#pragma once
// Vehicle models of the substitute host: a frame tree with names and attached objects, laid out as
// the host lays out its own.

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/host_layout.h"

namespace hostsim {

struct FrameShape {
    std::string name;
    int objects = 1;
    bool hidden = false;  // the objects start with the render flag clear
    std::vector<FrameShape> children;
};

inline constexpr std::uint8_t shownObjectFlags = 0x05;  // render flag plus a host flag of its own
inline constexpr std::uint8_t hiddenObjectFlags = 0x01;

struct FlagChange {
    int frameIndex;
    int objectIndex;
    std::uint8_t flags;
    bool operator==(const FlagChange&) const = default;
};

class SimModel {
  public:
    explicit SimModel(const FrameShape& root);
    SimModel(const SimModel&) = delete;
    SimModel& operator=(const SimModel&) = delete;

    SimModelObject* modelObject() { return &modelObject_; }
    SimFrame* root() { return frames_.data(); }

    // Frames in depth-first pre-order, root first; a frame's position is its index.
    std::size_t frameCount() const { return frames_.size(); }
    SimFrame* frame(std::size_t index) { return &frames_[index]; }
    int indexOf(const SimFrame* frame) const;
    // The first frame in pre-order with this name, or null.
    SimFrame* find(const std::string& name);

    int objectCount(std::size_t frameIndex) const { return objectRanges_[frameIndex].count; }
    std::uint8_t& objectFlags(std::size_t frameIndex, int objectIndex);

    std::vector<std::uint8_t> flagSnapshot() const;
    // Objects whose flag byte differs from the snapshot, in frame order, then object order.
    std::vector<FlagChange> flagChangesSince(const std::vector<std::uint8_t>& snapshot) const;

  private:
    struct ObjectRange {
        int first;
        int count;
    };
    void add(const FrameShape& shape, SimFrame* parent);

    SimModelObject modelObject_{};
    std::vector<SimFrame> frames_;
    std::vector<std::string> names_;
    std::vector<SimObject> objects_;
    std::vector<ObjectRange> objectRanges_;
};

}  // namespace hostsim
