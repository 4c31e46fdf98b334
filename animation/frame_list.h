#pragma once
// Host frames in insertion order. The record owns the storage, never the frames. Growing it can
// fail when memory runs out, and the library throws nothing: the list then stays as it was and
// says so.

#include <cstddef>
#include <limits>
#include <new>

#include "host/host_interface.h"

class FrameList {
  public:
    FrameList() = default;
    FrameList(const FrameList&) = delete;
    FrameList& operator=(const FrameList&) = delete;
    ~FrameList() { delete[] frames; }

    // False when there is no room for another frame.
    [[nodiscard]] bool push_back(HostFrame* frame) {
        if (count == capacity && !grow()) return false;
        frames[count++] = frame;
        return true;
    }
    void clear() { count = 0; }

    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    HostFrame* operator[](std::size_t index) const { return frames[index]; }

  private:
    bool grow() {
        const std::size_t larger = capacity == 0 ? 8 : capacity * 2;
        if (larger > std::numeric_limits<std::size_t>::max() / sizeof(HostFrame*)) return false;
        HostFrame** storage = new (std::nothrow) HostFrame*[larger];
        if (storage == nullptr) return false;
        for (std::size_t i = 0; i < count; ++i) storage[i] = frames[i];
        delete[] frames;
        frames = storage;
        capacity = larger;
        return true;
    }

    HostFrame** frames = nullptr;
    std::size_t count = 0;
    std::size_t capacity = 0;
};
