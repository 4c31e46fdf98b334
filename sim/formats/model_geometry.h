#pragma once
// A model's geometry as the preview page will read it: buffer views inside their buffers,
// accessors inside their buffer views, and no extension required that the page cannot show.
// The node tree does not depend on any of it: only a model that is to be shown is checked.
// Every fault is a JsonError at its place (as "accessors[3]").

#include <cstddef>
#include <string>
#include <vector>

#include "sim/formats/json_values.h"

namespace sim {

class BufferViews {
  public:
    // bufferLengths: each buffer's byteLength, once its data is known to hold that many bytes.
    BufferViews(const ObjectReader& top, const std::vector<std::size_t>& bufferLengths);

    struct Span {
        std::size_t length;
        std::size_t stride;  // 0: none given, items lie tightly packed
    };

    // The view that index names, once it lies inside its buffer. place: where the index stands.
    Span at(const JsonNode& index, const std::string& place) const;

    void checkAll() const;

  private:
    Span checked(std::size_t view) const;

    const std::vector<JsonNode>& views_;
    const std::vector<std::size_t>& bufferLengths_;
};

// Every accessor, every mesh's references to them, and extensionsRequired.
void checkShownGeometry(const ObjectReader& top, const BufferViews& views);

}  // namespace sim
