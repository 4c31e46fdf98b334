// A game executable may be any file a player points the game command at: any bytes must give the
// findings or one refusal that names the file, never a crash or a read outside the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/cli/exit_status.h"
#include "sim/game/game_check.h"
#include "sim/game/pe_image.h"

namespace {

const std::string fileName = "fuzz.exe";

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that the sanitizer sees any read past its end.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    try {
        const sim::game::GameCheck check = sim::game::checkGame(bytes, fileName);
        if (check.status != 0 && check.status != sim::cli::exitGameNotReady)
            fail("a status the command does not document", check.text);
        if (!std::string_view(check.text).starts_with(fileName))
            fail("findings without the file's name", check.text);
    } catch (const sim::game::PeError& error) {
        if (!std::string_view(error.what()).starts_with(fileName + ": "))
            fail("refusal without the file's name", error.what());
    }
    return 0;
}
