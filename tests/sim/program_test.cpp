// The program as a user runs it: exit status 2 and one message on standard error for a bad
// command line or a bad scene, with nothing run and no trace written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "sim/demo_scene.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using ::testing::HasSubstr;

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string errors;
};

const fs::path workDir = fs::absolute("program_test_files");

// The tests of this program run in parallel: each keeps its files under a name of its own.
std::string testFile(const std::string& suffix) {
    return (workDir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + suffix)).string();
}

Outcome runProgram(const std::string& arguments) {
    fs::create_directories(workDir);
    const fs::path errors = testFile("_stderr.txt");
    const std::string program = fs::absolute(VORLIX_SIM_PROGRAM).make_preferred().string();
    std::string command = "\"" + program + "\" " + arguments + " 2>\"" + errors.string() + "\" >\"" +
                          testFile("_stdout.txt") + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c takes off the outermost quotes
#endif
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    const int status = raw;
#else
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return {status, test::readFile(errors.string())};
}

std::string scenePath(const char* name) { return std::string(VORLIX_TEST_SCENES) + "/" + name; }

TEST(Program, RefusesBadInputWithStatusTwoAndOneMessage) {
    const std::string null = std::string(" --library \"") + SIM_NULL_LIBRARY + "\"";
    const std::string trace = testFile("_trace.jsonl");
    const struct {
        const char* kind;
        std::string arguments;
        std::string expected;
    } cases[] = {
        {"unknown option", "run " + scenePath("small.json") + " --trace-file x", "--trace-file"},
        {"no command", "", "subcommand"},
        {"unknown command", "walk", "unknown command \"walk\" (expected run, check or demo)"},
        {"missing scene file", "run " + scenePath("missing.json") + null + " --trace " + trace,
         "missing.json: cannot open the scene file"},
        {"bad scene", "run " + scenePath("bad_slot_taken.json") + null + " --trace " + trace,
         "bad_slot_taken.json:7:61: vehicles[1].slot: slot 0 is taken at tick 0 by vehicle \"bike\""},
        {"missing library", "run " + scenePath("small.json") + " --library /nonexistent/libvorlix.so --trace " + trace,
         "library not found: /nonexistent/libvorlix.so"},
        {"not a library", "run " + scenePath("small.json") + " --library " + scenePath("small.json") + " --trace " + trace,
         "cannot load the library"},
        {"unwritable trace", "run " + scenePath("small.json") + null + " --trace /nonexistent/dir/trace.jsonl",
         "cannot write the trace file /nonexistent/dir/trace.jsonl"},
    };
    for (const auto& c : cases) {
        fs::remove(trace);
        const Outcome outcome = runProgram(c.arguments);
        EXPECT_EQ(outcome.status, 2) << c.kind;
        EXPECT_THAT(outcome.errors, HasSubstr(c.expected)) << c.kind;
        EXPECT_FALSE(fs::exists(trace)) << c.kind << ": nothing may run";
    }
    // The scene's problem is the whole message: one line.
    const Outcome bad = runProgram("run " + scenePath("bad_slot_taken.json") + null);
    EXPECT_EQ(std::count(bad.errors.begin(), bad.errors.end(), '\n'), 1) << bad.errors;
}

TEST(Program, RunsASceneIntoATraceFile) {
    const std::string trace = testFile("_trace.jsonl");
    const Outcome outcome =
        runProgram("run " + scenePath("small.json") + " --trace " + trace + " --library \"" + SIM_NULL_LIBRARY + "\"");
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const auto lines = test::splitLines(test::readFile(trace));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.front(), R"({"type":"start","format":1,"version":1011,"patchedSites":[]})");
    EXPECT_EQ(lines.back(), R"({"type":"end","restored":true,"log":[]})");
}

TEST(Program, ShipsTheBuiltInSceneAsAFile) {
    EXPECT_EQ(test::readFile(VORLIX_DEFAULT_SCENE), defaultSceneJson);
    EXPECT_NO_THROW(parseScene(defaultSceneJson, defaultSceneName));
}

}  // namespace
}  // namespace sim
