#pragma once
// Runs work on a thread of its own with a fixed stack size, as small as a host's thread may have,
// and waits for it. Code that recurses per byte or per frame overflows it and crashes the test.

#include <cstddef>
#include <functional>

namespace testing_support {

inline constexpr std::size_t hostThreadStack = 1024 * 1024;

void runOnStack(std::size_t stackBytes, const std::function<void()>& work);

}  // namespace testing_support
