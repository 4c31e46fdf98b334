#pragma once
// Which bytes a message or a written text may carry as they are.

namespace sim {

// A byte of UTF-8 text that is no control character (0x00 to 0x1F, 0x7F): printable ASCII, or a
// part of a multi-byte character.
constexpr bool isPrintableByte(unsigned char byte) { return byte >= 0x20 && byte != 0x7F; }

// A byte that shows as itself on its own, outside any text: printable ASCII.
constexpr bool isPrintableAscii(unsigned char byte) { return isPrintableByte(byte) && byte < 0x80; }

}  // namespace sim
