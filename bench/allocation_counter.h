#pragma once
// Counts heap allocations of the whole program: linking allocation_counter.cpp replaces the global
// allocation functions.

#include <cstdint>

namespace bench {
std::uint64_t allocationCount();
}
