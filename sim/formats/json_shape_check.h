#pragma once
// A first look at a model's JSON before the glTF library reads it: valid JSON (UTF-8 included),
// with a nesting depth that the library's recursive readers can take.

#include <string>
#include <string_view>

namespace sim {

// Far deeper than any glTF needs; the library recurses once per level of "extras".
inline constexpr int maxModelJsonDepth = 64;

// Throws ModelError naming fileName, `where` (for example "JSON chunk"), the line and column and
// the problem.
void checkModelJson(std::string_view json, const std::string& fileName, const std::string& where);

}  // namespace sim
