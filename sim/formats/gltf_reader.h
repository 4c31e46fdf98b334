#pragma once
// Reads what vorlix-sim needs of an author's glTF 2.0 model (.gltf with the files it refers to, or
// .glb): the node hierarchy of the scene shown, and on request the model's files as they are, for
// the preview page. Model files come from anywhere: every problem is one ModelError that names the
// file, the place in it and what is wrong; nothing outside the model's folder is read.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/formats/model_error.h"
#include "sim/formats/model_resources.h"
#include "sim/formats/node_scale.h"

namespace sim {

struct ModelNode {
    std::string name;
    std::vector<int> children;  // as the file lists them, unchecked
    bool hasMesh = false;
    NodeScale scale;  // of its "matrix", else of its "scale"
};

// The model as the author wrote it: its own file, and each file its buffers and images refer to.
// data: URIs stay in the model file.
struct ModelFiles {
    bool binary = false;  // a .glb; else glTF JSON text
    std::string main;
    std::vector<std::pair<std::string, std::string>> resources;  // uri as written -> its bytes
};

struct GltfModel {
    std::vector<ModelNode> nodes;
    int scene = 0;           // the scene shown: the file's default scene, else the first
    std::vector<int> roots;  // that scene's nodes, unchecked
    ModelFiles files;        // when asked for
};

// bytes: the model file's contents; folder: where its .bin and image files are (empty: it may
// refer to none). withFiles: for the preview page, which gets the files and must be able to show
// them: the geometry and the extensions required are checked too.
GltfModel parseGltf(std::string_view bytes, const std::string& fileName,
                    const std::filesystem::path& folder, bool withFiles);

GltfModel readGltfFile(const std::string& path, bool withFiles);

}  // namespace sim
