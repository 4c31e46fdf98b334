#pragma once

#include <cstdint>

// A frame's own axis, which a component turns its frames about; none for a component that turns
// nothing.
enum class Axis : std::uint8_t { none, x, y, z };
