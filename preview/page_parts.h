#pragma once

#include <cstddef>

// The bundled page around its data, generated at build time (tools/embed_page.mjs).
namespace preview::parts {

extern const unsigned char beforeData[];
extern const std::size_t beforeDataSize;
extern const unsigned char afterData[];
extern const std::size_t afterDataSize;

}  // namespace preview::parts
