#pragma once

#include <string>
#include <string_view>

namespace preview {

// The whole self-contained page, with `dataJson` embedded as the page's data. Escapes what must be
// escaped for a JSON text inside <script> (at least "</" and "<!--").
std::string pageWith(std::string_view dataJson);

}  // namespace preview
