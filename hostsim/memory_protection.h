#pragma once

#include <cstdint>

namespace hostsim {

enum class Protection { readWrite, executeRead, executeReadWrite };

// Changes the protection of the pages covering [start, end); aborts the program if it cannot, since
// the substitute host is then unusable.
void protectPages(std::uint32_t start, std::uint32_t end, Protection protection);

}  // namespace hostsim
