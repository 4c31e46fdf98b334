#pragma once

namespace sim::cli {

inline constexpr int exitFailure = 1;   // warnings found, or something failed
inline constexpr int exitBadInput = 2;  // a bad command line or input file; nothing ran

}  // namespace sim::cli
