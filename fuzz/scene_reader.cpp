// Scene files are input to our own tool, written by hand or by anyone: any bytes must give a
// scene or one refusal that names the file and a place in it, never a crash or another failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "sim/formats/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        sim::readScene(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const sim::SceneError& error) {
        if (!std::string_view(error.what()).starts_with("fuzz.json:")) {
            std::fprintf(stderr, "refusal without the file's name: %s\n", error.what());
            std::abort();
        }
    }
    return 0;
}
