#pragma once
// The binary container of a .glb: a 12-byte header and chunks, each padded to four bytes. Checked
// completely before the JSON is read: every offset in it comes from the file.

#include <string>
#include <string_view>

namespace sim {

struct GlbChunks {
    std::string_view json;
    std::string_view bin;  // empty when the file has no BIN chunk
};

inline bool looksLikeGlb(std::string_view bytes) { return bytes.substr(0, 4) == "glTF"; }

// Throws ModelError naming fileName and the header or chunk at fault.
GlbChunks readGlbChunks(std::string_view bytes, const std::string& fileName);

}  // namespace sim
