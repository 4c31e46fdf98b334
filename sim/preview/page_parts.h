#pragma once

#include <cstddef>

// The bundled page around what vorlix-sim writes into it, generated at build time
// (browser/tools/embed_page.mjs).
namespace sim::pageparts {

extern const unsigned char beforePlots[];
extern const std::size_t beforePlotsSize;
extern const unsigned char beforeData[];
extern const std::size_t beforeDataSize;
extern const unsigned char afterData[];
extern const std::size_t afterDataSize;

}  // namespace sim::pageparts
