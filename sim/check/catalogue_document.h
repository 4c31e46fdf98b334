#pragma once
// vorlix-sim catalogue: every component as frame names configure it, for programs that build
// names (a modelling tool's add-on), so they keep no table of their own. scenes/README.md
// describes its members.

#include <string>

namespace sim::check {

// The whole document, ending in a newline.
std::string catalogueDocument();

}  // namespace sim::check
