#include "sim/formats/model_geometry.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>

#include "sim/formats/model_error.h"
#include "sim/formats/model_resources.h"

namespace sim {

namespace {

constexpr std::int64_t maxIndex = std::numeric_limits<std::int32_t>::max();

const std::vector<JsonNode>& arrayOf(const ObjectReader& object, const char* key) {
    static const std::vector<JsonNode> none;
    const JsonNode* node = object.optional(key);
    return node == nullptr ? none : readArray(*node, object.path(key));
}

// An index into one of the document's arrays, refused where it stands when out of range.
std::size_t indexInto(const JsonNode& index, const std::string& place, std::size_t count,
                      const char* one, const char* many) {
    const auto value = static_cast<std::size_t>(readInteger(index, place, 0, maxIndex));
    if (value >= count) {
        failAt(index, place,
               std::string(one) + " " + std::to_string(value) + " is out of range (the file has " +
                   std::to_string(count) + " " + (count == 1 ? one : many) + ")");
    }
    return value;
}

// byteLength bytes from byteOffset of the buffer that `object` names: a buffer view, or the
// compressed data of one.
void checkInBuffer(const JsonNode& node, const std::string& place,
                   const std::vector<std::size_t>& bufferLengths) {
    const ObjectReader object(node, place);
    const JsonNode& index = object.required("buffer");
    const std::size_t buffer =
        indexInto(index, object.path("buffer"), bufferLengths.size(), "buffer", "buffers");
    const auto offset =
        static_cast<std::size_t>(readOptionalInteger(object.optional("byteOffset"),
                                                     object.path("byteOffset"), 0, maxModelBytes)
                                     .value_or(0));
    const auto length = static_cast<std::size_t>(
        readInteger(object.required("byteLength"), object.path("byteLength"), 1, maxModelBytes));
    const std::size_t bufferLength = bufferLengths[buffer];
    if (offset > bufferLength || length > bufferLength - offset) {
        failAt(node, place,
               std::to_string(length) + " bytes from byte " + std::to_string(offset) +
                   " run past the end of buffers[" + std::to_string(buffer) + "] (" +
                   std::to_string(bufferLength) + " bytes)");
    }
}

const JsonNode* extension(const ObjectReader& object, const char* name) {
    const JsonNode* extensions = object.optional("extensions");
    return extensions == nullptr
               ? nullptr
               : ObjectReader(*extensions, object.path("extensions")).optional(name);
}

std::size_t componentBytes(const JsonNode& node, const std::string& place) {
    switch (readInteger(node, place, 0, maxIndex)) {
        case 5120:  // byte
        case 5121:  // unsigned byte
            return 1;
        case 5122:  // short
        case 5123:  // unsigned short
            return 2;
        case 5125:  // unsigned int
        case 5126:  // float
            return 4;
        default:
            failAt(node, place, node.text + " is not a glTF component type");
    }
}

std::size_t componentCount(const JsonNode& node, const std::string& place) {
    constexpr std::array<std::pair<std::string_view, std::size_t>, 7> types{{
        {"SCALAR", 1},
        {"VEC2", 2},
        {"VEC3", 3},
        {"VEC4", 4},
        {"MAT2", 4},
        {"MAT3", 9},
        {"MAT4", 16},
    }};
    const std::string& type = readString(node, place);
    for (const auto& [name, count] : types) {
        if (type == name) return count;
    }
    failAt(node, place, "\"" + shownInMessage(type) + "\" is not a glTF accessor type");
}

// Each accessor's items lie inside its buffer view: the last one ends at byteOffset +
// stride × (count − 1) + the item's size. An accessor without a view is zeros, or its data is
// compressed in its mesh.
void checkAccessors(const std::vector<JsonNode>& accessors, const BufferViews& views) {
    for (std::size_t i = 0; i < accessors.size(); ++i) {
        const ObjectReader accessor(accessors[i], itemPath("accessors", i));
        const std::size_t itemBytes =
            componentBytes(accessor.required("componentType"), accessor.path("componentType")) *
            componentCount(accessor.required("type"), accessor.path("type"));
        const auto count = static_cast<std::uint64_t>(
            readInteger(accessor.required("count"), accessor.path("count"), 1, maxIndex));
        const JsonNode* view = accessor.optional("bufferView");
        if (view == nullptr) continue;
        const BufferViews::Span span = views.at(*view, accessor.path("bufferView"));
        const auto offset = static_cast<std::uint64_t>(
            readOptionalInteger(accessor.optional("byteOffset"), accessor.path("byteOffset"), 0,
                                maxModelBytes)
                .value_or(0));
        const std::uint64_t stride = span.stride != 0 ? span.stride : itemBytes;
        const std::uint64_t end = offset + stride * (count - 1) + itemBytes;
        if (end > span.length) {
            failAt(accessors[i], itemPath("accessors", i),
                   std::to_string(count) + " items of " + std::to_string(itemBytes) +
                       " bytes, every " + std::to_string(stride) + " bytes from byte " +
                       std::to_string(offset) + ", end at byte " + std::to_string(end) +
                       ", past the end of bufferViews[" + view->text + "] (" +
                       std::to_string(span.length) + " bytes)");
        }
    }
}

void checkMeshes(const ObjectReader& top, std::size_t accessorCount, const BufferViews& views) {
    const std::vector<JsonNode>& meshes = arrayOf(top, "meshes");
    for (std::size_t m = 0; m < meshes.size(); ++m) {
        const ObjectReader mesh(meshes[m], itemPath("meshes", m));
        const std::vector<JsonNode>& primitives =
            readArray(mesh.required("primitives"), mesh.path("primitives"));
        for (std::size_t p = 0; p < primitives.size(); ++p) {
            const ObjectReader primitive(primitives[p], itemPath(mesh.path("primitives"), p));
            const JsonNode& attributes = primitive.required("attributes");
            const ObjectReader named(attributes, primitive.path("attributes"));
            for (const JsonNode::Member& attribute : attributes.members) {
                indexInto(attribute.value, named.path(attribute.key.c_str()), accessorCount,
                          "accessor", "accessors");
            }
            if (const JsonNode* indices = primitive.optional("indices"))
                indexInto(*indices, primitive.path("indices"), accessorCount, "accessor",
                          "accessors");
            if (const JsonNode* draco = extension(primitive, "KHR_draco_mesh_compression")) {
                const ObjectReader compressed(
                    *draco, memberPath(primitive.path("extensions"), "KHR_draco_mesh_compression"));
                views.at(compressed.required("bufferView"), compressed.path("bufferView"));
            }
        }
    }
}

// What the page's glTF loader shows: its own extensions, and the two mesh compressions whose
// decoders the page carries. Textures in KTX2 (KHR_texture_basisu) need a transcoder it does not
// carry.
bool pageShows(std::string_view extension) {
    constexpr std::array<std::string_view, 22> shown{
        "KHR_draco_mesh_compression",
        "EXT_meshopt_compression",
        "KHR_meshopt_compression",
        "KHR_mesh_quantization",
        "KHR_texture_transform",
        "KHR_lights_punctual",
        "KHR_materials_anisotropy",
        "KHR_materials_clearcoat",
        "KHR_materials_diffuse_roughness",
        "KHR_materials_dispersion",
        "KHR_materials_emissive_strength",
        "KHR_materials_ior",
        "KHR_materials_iridescence",
        "KHR_materials_sheen",
        "KHR_materials_specular",
        "KHR_materials_transmission",
        "KHR_materials_unlit",
        "KHR_materials_volume",
        "EXT_materials_bump",
        "EXT_texture_webp",
        "EXT_texture_avif",
        "EXT_mesh_gpu_instancing",
    };
    for (std::string_view known : shown) {
        if (extension == known) return true;
    }
    return false;
}

void checkRequiredExtensions(const ObjectReader& top) {
    const std::vector<JsonNode>& required = arrayOf(top, "extensionsRequired");
    for (std::size_t i = 0; i < required.size(); ++i) {
        const std::string place = itemPath("extensionsRequired", i);
        const std::string& name = readString(required[i], place);
        if (pageShows(name)) continue;
        const std::string shown = "\"" + shownInMessage(name) + "\"";
        if (name == "KHR_texture_basisu") {
            failAt(required[i], place,
                   "the preview cannot show " + shown +
                       " textures (KTX2): export the textures as PNG, JPEG or WebP");
        }
        failAt(required[i], place,
               "the preview cannot show a model that requires " + shown +
                   ", an extension it does not know");
    }
}

}  // namespace

BufferViews::BufferViews(const ObjectReader& top, const std::vector<std::size_t>& bufferLengths)
    : views_(arrayOf(top, "bufferViews")), bufferLengths_(bufferLengths) {}

BufferViews::Span BufferViews::at(const JsonNode& index, const std::string& place) const {
    return checked(indexInto(index, place, views_.size(), "buffer view", "buffer views"));
}

void BufferViews::checkAll() const {
    for (std::size_t v = 0; v < views_.size(); ++v) checked(v);
}

BufferViews::Span BufferViews::checked(std::size_t v) const {
    const std::string place = itemPath("bufferViews", v);
    checkInBuffer(views_[v], place, bufferLengths_);
    const ObjectReader view(views_[v], place);
    // A view compressed with meshopt holds its data in another buffer; its own may be a
    // placeholder without data.
    for (const char* name : {"EXT_meshopt_compression", "KHR_meshopt_compression"}) {
        if (const JsonNode* compressed = extension(view, name))
            checkInBuffer(*compressed, memberPath(view.path("extensions"), name), bufferLengths_);
    }
    const auto length = static_cast<std::size_t>(
        readInteger(view.required("byteLength"), view.path("byteLength"), 1, maxModelBytes));
    const auto stride = static_cast<std::size_t>(
        readOptionalInteger(view.optional("byteStride"), view.path("byteStride"), 4, 252)
            .value_or(0));
    return {length, stride};
}

void checkShownGeometry(const ObjectReader& top, const BufferViews& views) {
    checkRequiredExtensions(top);
    const std::vector<JsonNode>& accessors = arrayOf(top, "accessors");
    checkAccessors(accessors, views);
    checkMeshes(top, accessors.size(), views);
}

}  // namespace sim
