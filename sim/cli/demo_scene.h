#pragma once
// The built-in scene of the demo: the text of scenes/default.json, embedded at build time.

namespace sim {

extern const char* const defaultSceneJson;
inline constexpr const char* defaultSceneName = "scenes/default.json (built in)";

}  // namespace sim
