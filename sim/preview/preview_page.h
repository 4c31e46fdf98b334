#pragma once
// The preview page, bundled from browser/ at build time, with what vorlix-sim writes into it.

#include <string>
#include <string_view>

namespace sim {

// The whole self-contained page: `plotsMarkup` (escaped already) as its plots, `dataJson` as the
// data its script plays. Escapes what must be escaped for a JSON text inside <script> (at least
// "</" and "<!--").
std::string previewPage(std::string_view plotsMarkup, std::string_view dataJson);

}  // namespace sim
