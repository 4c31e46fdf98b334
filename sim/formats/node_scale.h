#pragma once
// How a node's own transform stretches and mirrors what hangs below it. A turn keeps a part's
// shape only under a scale that is the same along every axis, and under a mirroring scale which
// way it goes depends on how the host combines the two.

#include <array>

namespace sim {

struct NodeScale {
    std::array<double, 3> axes{1, 1, 1};  // the length the transform gives each local axis
    bool mirrored = false;                // a negative determinant
};

// From a node's "scale": a translation or rotation changes no length.
NodeScale scaleOfTrs(const std::array<float, 3>& scale);
// From a node's column-major "matrix": the lengths of its first three columns, mirrored when the
// determinant of its upper 3x3 is negative.
NodeScale scaleOfMatrix(const std::array<float, 16>& matrix);

// Every axis equally long, within a relative 1e-4, so rounding in an exporter does not count.
bool isUniform(const NodeScale& scale);

}  // namespace sim
