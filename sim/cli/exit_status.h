#pragma once
// The exit statuses of every vorlix-sim command.

namespace sim::cli {

inline constexpr int exitFailure = 1;   // warnings found, or something failed
inline constexpr int exitBadInput = 2;  // a bad command line or input file; nothing ran

// game: the executable is read, but the library would not run in it as it is: an unsupported or
// unknown build, changed call sites, or a packed file.
inline constexpr int exitGameNotReady = exitFailure;

}  // namespace sim::cli
