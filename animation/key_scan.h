#pragma once
// One pass over a frame name that finds every component key it holds.

#include <cstdint>

// Bit i stands for entry i of the component catalogue, so walking the bits upward visits the
// components in catalogue order.
using ComponentSet = std::uint16_t;

// The components whose keys occur anywhere in the zero-terminated name, which begins with the
// component prefix. Every key begins with the prefix, so each occurrence of the prefix is checked
// against the keys that can follow it: the result equals a substring search for every key.
ComponentSet componentKeysIn(const char* name);
