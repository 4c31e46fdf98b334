#include "sim/formats/frame_name_rule.h"

#include <cstdio>

#include "sim/formats/printable_bytes.h"

namespace sim {

namespace {

std::string fault(const char* what, unsigned value, std::size_t position) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "frame names must not hold control characters: %s%02X at position %zu", what,
                  value, position);
    return text;
}

}  // namespace

std::string frameNameFault(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (!isPrintableByte(byte)) return fault("byte 0x", byte, i);
        // U+0080 to U+009F, the second set of control characters, are 0xC2 0x80 to 0xC2 0x9F.
        if (byte == 0xC2 && i + 1 < name.size()) {
            const auto next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return fault("character U+00", next, i);
        }
    }
    return {};
}

}  // namespace sim
