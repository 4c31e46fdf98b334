#pragma once

#include <string>

namespace sim {

// The name of the root frame made for a model file whose scene has several root nodes: the file's
// name without its extension.
std::string modelRootName(const std::string& path);

}  // namespace sim
