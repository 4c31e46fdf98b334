#include "sim/formats/glb_container.h"

#include <cstdint>
#include <cstdio>

#include "sim/formats/model_error.h"

namespace sim {

namespace {

constexpr std::uint32_t jsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t binChunk = 0x004E4942;   // "BIN\0"
constexpr std::size_t headerSize = 12;
constexpr std::size_t chunkHeaderSize = 8;

std::uint32_t word(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// The magic as the author would see it in a hex viewer, unprintable bytes escaped.
std::string shown(std::string_view magic) {
    std::string text = "\"";
    for (char c : magic) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            text += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text + "\"";
}

}  // namespace

GlbChunks readGlbChunks(std::string_view bytes, const std::string& fileName) {
    auto fail = [&](const std::string& place, const std::string& what) {
        throw ModelError(fileName + ": " + place + ": " + what);
    };
    if (bytes.size() < headerSize) {
        fail("header", "truncated: a .glb starts with a 12-byte header, the file has " +
                           std::to_string(bytes.size()) + " bytes");
    }
    if (!looksLikeGlb(bytes)) {
        fail("header",
             "wrong magic " + shown(bytes.substr(0, 4)) + " (a .glb begins with \"glTF\")");
    }
    const std::uint32_t version = word(bytes, 4);
    if (version != 2) {
        fail("header", "glTF version " + std::to_string(version) + " (only version 2 is read)");
    }
    const std::uint32_t length = word(bytes, 8);
    if (length != bytes.size()) {
        fail("header", "the header gives the length " + std::to_string(length) +
                           " bytes, the file has " + std::to_string(bytes.size()) +
                           (length > bytes.size() ? " (truncated)" : ""));
    }

    GlbChunks chunks;
    std::size_t at = headerSize;
    for (std::size_t index = 0; at < bytes.size(); ++index) {
        const std::string place = "chunks[" + std::to_string(index) + "]";
        if (bytes.size() - at < chunkHeaderSize) {
            fail(place, "truncated chunk header at byte " + std::to_string(at));
        }
        const std::uint32_t chunkLength = word(bytes, at);
        const std::uint32_t type = word(bytes, at + 4);
        const std::size_t data = at + chunkHeaderSize;
        if (chunkLength > bytes.size() - data) {
            fail(place, "chunk length " + std::to_string(chunkLength) + " at byte " +
                            std::to_string(at) + " runs past the end of the file (" +
                            std::to_string(bytes.size()) + " bytes)");
        }
        if (chunkLength % 4 != 0) {
            fail(place, "chunk length " + std::to_string(chunkLength) + " at byte " +
                            std::to_string(at) + " is not a multiple of 4 (chunks are padded)");
        }
        if (index == 0 && type != jsonChunk) {
            fail(place, "the first chunk has the type " + hex(type) + ", not JSON");
        }
        if (index == 0) chunks.json = bytes.substr(data, chunkLength);
        // Chunks of other types are for extensions and are skipped, as glTF asks.
        if (index == 1 && type == binChunk) chunks.bin = bytes.substr(data, chunkLength);
        at = data + chunkLength;
    }
    if (at == headerSize) fail("chunks[0]", "missing: a .glb needs its JSON chunk");
    return chunks;
}

}  // namespace sim
