#include "sim/formats/model_root_name.h"

namespace sim {

std::string modelRootName(const std::string& path) {
    // By hand: a path's own conversions would change the name's bytes on Windows.
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

}  // namespace sim
