#include "hostsim/sim_model.h"

namespace hostsim {

namespace {

void count(const FrameShape& shape, std::size_t& frames, std::size_t& objects) {
    ++frames;
    objects += static_cast<std::size_t>(shape.objects);
    for (const FrameShape& child : shape.children) count(child, frames, objects);
}

}  // namespace

SimModel::SimModel(const FrameShape& root) {
    std::size_t frames = 0, objects = 0;
    count(root, frames, objects);
    // Reserved up front: frames and objects must never move once linked.
    frames_.reserve(frames);
    names_.reserve(frames);
    objects_.reserve(objects);
    objectRanges_.reserve(frames);
    add(root, nullptr);
    modelObject_.root = frames_.data();
}

void SimModel::add(const FrameShape& shape, SimFrame* parent) {
    frames_.emplace_back();
    SimFrame* frame = &frames_.back();
    *frame = SimFrame{};
    frame->matrix[0] = frame->matrix[4] = frame->matrix[8] = 1.0f;
    names_.push_back(shape.name);
    frame->name = names_.back().c_str();
    frame->parent = parent;

    const int first = static_cast<int>(objects_.size());
    objectRanges_.push_back({first, shape.objects});
    SimLink* previous = &frame->objectList;
    for (int i = 0; i < shape.objects; ++i) {
        objects_.emplace_back();
        SimObject& object = objects_.back();
        object = SimObject{};
        object.flags = shape.hidden ? hiddenObjectFlags : shownObjectFlags;
        previous->next = &object.link;
        previous = &object.link;
    }
    previous->next = &frame->objectList;

    SimFrame* previousChild = nullptr;
    for (const FrameShape& childShape : shape.children) {
        SimFrame* child = frames_.data() + frames_.size();  // where add() places it
        add(childShape, frame);
        if (previousChild == nullptr) {
            frame->firstChild = child;
        } else {
            previousChild->nextSibling = child;
        }
        previousChild = child;
    }
}

int SimModel::indexOf(const SimFrame* frame) const {
    return static_cast<int>(frame - frames_.data());
}

SimFrame* SimModel::find(const std::string& name) {
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (names_[i] == name) return &frames_[i];
    }
    return nullptr;
}

std::uint8_t& SimModel::objectFlags(std::size_t frameIndex, int objectIndex) {
    return objects_[static_cast<std::size_t>(objectRanges_[frameIndex].first + objectIndex)].flags;
}

std::vector<std::uint8_t> SimModel::flagSnapshot() const {
    std::vector<std::uint8_t> snapshot;
    snapshot.reserve(objects_.size());
    for (const SimObject& object : objects_) snapshot.push_back(object.flags);
    return snapshot;
}

std::vector<FlagChange> SimModel::flagChangesSince(
    const std::vector<std::uint8_t>& snapshot) const {
    std::vector<FlagChange> changes;
    for (std::size_t f = 0; f < objectRanges_.size(); ++f) {
        for (int i = 0; i < objectRanges_[f].count; ++i) {
            const std::size_t at = static_cast<std::size_t>(objectRanges_[f].first + i);
            if (objects_[at].flags != snapshot[at]) {
                changes.push_back({static_cast<int>(f), i, objects_[at].flags});
            }
        }
    }
    return changes;
}

}  // namespace hostsim
