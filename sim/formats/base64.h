#pragma once
// Base64 (RFC 4648, with padding), for binary data carried in JSON and data: URIs.

#include <optional>
#include <string>
#include <string_view>

namespace sim {

std::string base64(std::string_view bytes);

// The bytes of a base64 text, with or without its padding; nothing for any other character, a
// misplaced '=' or a length no encoding gives.
std::optional<std::string> fromBase64(std::string_view text);

}  // namespace sim
