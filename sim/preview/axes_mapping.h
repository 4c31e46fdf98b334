#pragma once
// How a frame's X, Y and Z axes lie in a glTF node: the direction, in the node's own glTF
// coordinates, of each axis the library turns a frame about.

#include <array>
#include <optional>
#include <string_view>

namespace sim {

struct AxesMapping {
    std::string_view name;  // as --axes takes it
    std::string_view description;
    std::array<int, 3> x, y, z;
};

// A model made in a Z-up tool and exported to glTF with +Y up: the tool's Z, the axis the game
// turns it about, became the node's +Y, and the tool's Y became -Z.
inline constexpr AxesMapping zUpAxes{
    "z-up",
    "frame X,Y,Z = node +X, -Z, +Y (model made in a Z-up tool, exported Y-up)",
    {1, 0, 0},
    {0, 0, -1},
    {0, 1, 0}};
// A model whose node axes are the frame axes as they stand.
inline constexpr AxesMapping yUpAxes{"y-up",
                                     "frame X,Y,Z = node +X, +Y, +Z (node axes taken as they are)",
                                     {1, 0, 0},
                                     {0, 1, 0},
                                     {0, 0, 1}};

inline std::optional<AxesMapping> axesNamed(std::string_view name) {
    for (const AxesMapping& axes : {zUpAxes, yUpAxes}) {
        if (axes.name == name) return axes;
    }
    return std::nullopt;
}

}  // namespace sim
