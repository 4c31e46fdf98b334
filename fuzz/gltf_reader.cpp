// Authors' model files come from anywhere: any bytes must give a frame tree or one refusal that
// names the file, never a crash, a hang or unbounded memory. Only the bytes are read: the model
// may refer to no other file, and the preview is handed the bytes as they came.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const sim::GltfModel model = sim::parseGltf(bytes, "fuzz.gltf", {}, true);
        sim::framesOf(model, "fuzz.gltf", "fuzz");
        if (model.files.main != bytes || !model.files.resources.empty())
            fail("the model's files are not the bytes read", "");
    } catch (const sim::ModelError& error) {
        const std::string message = error.what();
        if (message.rfind("fuzz.gltf: ", 0) != 0 || message.find('\n') != std::string::npos)
            fail("refusal without the file's name or on several lines", message);
    }
    return 0;
}
