#include "host/platform/random.h"

#ifdef _WIN32
#include <cstdlib>
#else
#include <cstdint>
#endif

namespace platform {

#ifdef _WIN32
int rand() { return std::rand(); }
#else
// The Windows runtime's generator with its default seed of 1, so both builds draw the same values.
int rand() {
    static std::uint32_t state = 1;
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
#endif

}  // namespace platform
