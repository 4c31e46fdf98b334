#pragma once
// Reads what vorlix-sim needs of an author's glTF 2.0 model (.gltf with the files it refers to, or
// .glb): the node hierarchy of the scene shown, and on request the whole model again as one
// self-contained .glb. Model files come from anywhere: every problem is one ModelError that names
// the file, the place in it and what is wrong; nothing outside the model's folder is read.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sim/formats/model_error.h"

namespace sim {

struct ModelNode {
    std::string name;
    std::vector<int> children;  // as the file lists them, unchecked
    bool hasMesh = false;
};

struct GltfModel {
    std::vector<ModelNode> nodes;
    int scene = 0;           // the scene shown: the file's default scene, else the first
    std::vector<int> roots;  // that scene's nodes, unchecked
    std::string glb;         // the self-contained .glb, when asked for
};

// What one model may bring in, its own file and the files it refers to together.
inline constexpr std::size_t maxModelBytes = std::size_t{128} << 20;

// bytes: the model file's contents; folder: where its .bin and image files are (empty: it may
// refer to none).
GltfModel parseGltf(std::string_view bytes, const std::string& fileName,
                    const std::filesystem::path& folder, bool withGlb);

GltfModel readGltfFile(const std::string& path, bool withGlb);

}  // namespace sim
