#include "sim/formats/node_scale.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr double uniformTolerance = 1e-4;

}  // namespace

NodeScale scaleOfTrs(const std::array<float, 3>& scale) {
    NodeScale out;
    int negative = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        out.axes[i] = std::fabs(static_cast<double>(scale[i]));
        negative += scale[i] < 0 ? 1 : 0;
    }
    out.mirrored = negative % 2 == 1;
    return out;
}

NodeScale scaleOfMatrix(const std::array<float, 16>& matrix) {
    // m(row, column) of the column-major matrix.
    auto m = [&](std::size_t row, std::size_t column) {
        return static_cast<double>(matrix[column * 4 + row]);
    };
    NodeScale out;
    for (std::size_t c = 0; c < 3; ++c)
        out.axes[c] = std::sqrt(m(0, c) * m(0, c) + m(1, c) * m(1, c) + m(2, c) * m(2, c));
    const double determinant = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                               m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                               m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    out.mirrored = determinant < 0;
    return out;
}

bool isUniform(const NodeScale& scale) {
    const auto [low, high] = std::minmax_element(scale.axes.begin(), scale.axes.end());
    return *high - *low <= uniformTolerance * *high;
}

}  // namespace sim
