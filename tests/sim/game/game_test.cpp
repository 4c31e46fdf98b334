// `vorlix-sim game`: what it says of game executables made here, and how it refuses files that are
// not readable 32-bit executables.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "pe_writer.h"
#include "sim/formats/bad_input.h"
#include "sim/game/game_check.h"
#include "sim/game/game_command.h"

namespace sim {
namespace {

using test::gameOfBuild;
using test::peFile;
using test::TestExecutable;
using ::testing::HasSubstr;
using ::testing::Not;

namespace fs = std::filesystem;

// A build 1001 executable with one change made to it.
TestExecutable changed1001(const std::function<void(TestExecutable&)>& change) {
    TestExecutable executable = gameOfBuild(1001);
    change(executable);
    return executable;
}

void writeAt(TestExecutable& executable, std::uint32_t address, const std::string& bytes) {
    std::size_t offset = 0;
    test::bytesAt(executable, address, offset).replace(offset, bytes.size(), bytes);
}

TEST(Game, SaysWhichBuildAndWhetherItsCallSitesAreAsExpected) {
    const struct {
        const char* what;
        TestExecutable executable;
        int status;
        std::vector<std::string> said;
    } cases[] = {
        {"build 1001",
         gameOfBuild(1001),
         0,
         {"game.exe: build 1001, supported by Vorlix.",
          "All five call sites hold what Vorlix expects."}},
        {"build 1002",
         gameOfBuild(1002),
         0,
         {"build 1002, supported by Vorlix.", "All five call sites hold what Vorlix expects."}},
        {"a known build that is not supported",
         gameOfBuild(1011),
         1,
         {"build 1011, which Vorlix does not support", "works with builds 1001 and 1002"}},
        {"the last build of the table", gameOfBuild(3210), 1, {"build 3210"}},
        {"an unknown build",
         gameOfBuild(0),
         1,
         {"not a build that Vorlix knows", "Vorlix works with builds 1001 and 1002 of",
          "not a launcher"}},
        {"a jump site made a call on disk",
         changed1001([](TestExecutable& e) { writeAt(e, 0x6D0E89, "\xE8"); }),
         1,
         {"call site 0x6D0E89 (vehicle rendered (jump)): holds E8 ",
          "where a jump (E9) is expected", "call site 0x5BF85B (vehicle pool ready): as Vorlix",
          "1 call site was changed on disk by another program"}},
        {"a call site that calls into data",
         changed1001([](TestExecutable& e) {
             e.sections.push_back({0x900000, std::string(16, '\0'), 0, false});
             writeAt(e, 0x6D5F2F, std::string("\xE8\xCC\xA0\x22\x00", 5));  // to 0x900000
         }),
         1,
         {"call site 0x6D5F2F (vehicle created): holds E8 CC A0 22 00: a call to 0x900000, "
          "outside the game's code"}},
        {"a site whose page is not on disk",
         changed1001([](TestExecutable& e) {
             std::erase_if(e.sections,
                           [](const test::TestSection& s) { return s.address == 0x6E2000; });
         }),
         1,
         {"call site 0x6E2D35 (vehicle destroyed): not in the file's data"}},
        {"packed: the first code page only in memory",
         changed1001([](TestExecutable& e) {
             e.sections[0].virtualSize = 0x1000;
             e.sections[0].data.clear();
         }),
         1,
         {"packed or protected on disk", "checks the build again in memory"}},
        {"packed: the first code page zero on disk",
         changed1001([](TestExecutable& e) { e.sections[0].data.assign(0x1000, '\0'); }),
         1,
         {"packed or protected on disk"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const game::GameCheck check = game::checkGame(peFile(c.executable), "game.exe");
        EXPECT_EQ(check.status, c.status) << check.text;
        for (const std::string& said : c.said) EXPECT_THAT(check.text, HasSubstr(said));
    }
}

// The one line the program prints, with status 2, for a file it refuses.
std::string refusal(const std::string& path) {
    std::ostringstream out;
    try {
        game::gameCommand(path, out);
    } catch (const BadInput& problem) {
        EXPECT_EQ(out.str(), "");
        return problem.what();
    }
    return "accepted";
}

TEST(Game, RefusesAFileThatIsNotAReadableExecutableAsBadInput) {
    const std::string good = peFile(gameOfBuild(1001));
    TestExecutable wide = gameOfBuild(1001);
    wide.optionalMagic = 0x20B;
    wide.machine = 0x8664;
    TestExecutable library = gameOfBuild(1001);
    library.library = true;
    std::string lostPe = good;
    lostPe[0x41] = 'X';
    const struct {
        const char* what;
        std::string bytes;
        std::string said;
    } cases[] = {
        {"empty", "", "not a Windows executable"},
        {"a text file", "{\"format\": 1}\n", "not a Windows executable"},
        {"only the start of the DOS header", "MZ\x90", "truncated: the file ends inside the DOS"},
        {"no PE header where the DOS header says", lostPe, "not a PE file"},
        {"cut inside the section table", good.substr(0, 0x180),
         "truncated: the file ends inside its section table"},
        {"a 64-bit program", peFile(wide),
         "a 64-bit program (PE32+). Vorlix works only with the 32-bit version of the game"},
        {"the last section cut short", good.substr(0, good.size() - 1),
         "section 6 (\".text\") lies past the end of the file: the file looks damaged or "
         "incomplete. Repair or reinstall the game"},
        {"a library", peFile(library), "a library (.dll), not a program: give the game's main"},
    };
    const fs::path folder = fs::temp_directory_path() / "vorlix-game-test";
    fs::create_directories(folder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = (folder / "bad.exe").string();
        std::ofstream(path, std::ios::binary) << c.bytes;
        const std::string message = refusal(path);
        EXPECT_THAT(message, HasSubstr(path + ": " + c.said));
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    const std::string missing = (folder / "missing.exe").string();
    EXPECT_EQ(refusal(missing), missing + ": no such file");

    // Vorlix's own file given as the game, and a folder whose last backslash kept the quote.
    std::ofstream(folder / "Vorlix.dll", std::ios::binary) << peFile(library);
    const struct {
        std::string path;
        std::string said;
    } mistakes[] = {
        {(folder / "Vorlix.dll").string(), "Vorlix.dll: this is Vorlix itself, not the game"},
        {folder.string() + "\"", "no such file (a backslash just before a closing quote"},
    };
    for (const auto& mistake : mistakes)
        EXPECT_THAT(refusal(mistake.path), HasSubstr(mistake.said));

    // A good file goes to standard output.
    const std::string path = (folder / "game.exe").string();
    std::ofstream(path, std::ios::binary) << good;
    std::ostringstream goodOut;
    EXPECT_EQ(game::gameCommand(path, goodOut), 0);
    EXPECT_THAT(goodOut.str(), HasSubstr("build 1001, supported"));
    EXPECT_THAT(goodOut.str(), Not(HasSubstr("vorlix-sim")));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace sim
