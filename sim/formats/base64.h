#pragma once
// Base64 (RFC 4648, with padding), for binary data carried in JSON and data: URIs.

#include <string>
#include <string_view>

namespace sim {

std::string base64(std::string_view bytes);

}  // namespace sim
