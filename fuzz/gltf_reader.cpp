// Authors' model files come from anywhere: any bytes must give a frame tree or one refusal that
// names the file, never a crash, a hang or unbounded memory. Only the bytes are read: the model
// may refer to no other file. A model that is read must also come back unchanged from the
// self-contained .glb that the preview embeds.
#include "sim/formats/gltf_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/formats/model_frames.h"

namespace {

void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

bool sameHierarchy(const sim::GltfModel& a, const sim::GltfModel& b) {
    if (a.scene != b.scene || a.roots != b.roots || a.nodes.size() != b.nodes.size()) return false;
    for (std::size_t i = 0; i < a.nodes.size(); ++i) {
        const sim::ModelNode &x = a.nodes[i], &y = b.nodes[i];
        if (x.name != y.name || x.children != y.children || x.hasMesh != y.hasMesh) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sim::GltfModel model;
    try {
        model = sim::parseGltf(bytes, "fuzz.gltf", {}, true);
        sim::framesOf(model, "fuzz.gltf", "fuzz");
    } catch (const sim::ModelError& error) {
        const std::string message = error.what();
        if (message.rfind("fuzz.gltf: ", 0) != 0 || message.find('\n') != std::string::npos)
            fail("refusal without the file's name or on several lines", message);
        return 0;
    }
    try {
        if (!sameHierarchy(model, sim::parseGltf(model.glb, "again.glb", {}, false)))
            fail("the self-contained .glb gives another hierarchy", "");
    } catch (const sim::ModelError& error) {
        fail("the self-contained .glb cannot be read again", error.what());
    }
    return 0;
}
