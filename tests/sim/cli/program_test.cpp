// The program as a user runs it: exit status 2 and one message on standard error for a bad
// command line or a bad scene, with nothing run and no trace written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim/cli/demo_scene.h"
#include "sim/formats/json_reader.h"
#include "sim_test_support.h"

namespace sim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string errors;
    std::string output;
};

const fs::path workDir = fs::absolute("program_test_files");

// The tests of this program run in parallel: each keeps its files under a name of its own.
std::string testFile(const std::string& suffix) {
    return (workDir /
            (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + suffix))
        .string();
}

Outcome runProgram(const std::string& arguments) {
    fs::create_directories(workDir);
    const fs::path errors = testFile("_stderr.txt");
    const std::string program = fs::absolute(VORLIX_SIM_PROGRAM).make_preferred().string();
    std::string command = "\"" + program + "\" " + arguments + " 2>\"" + errors.string() +
                          "\" >\"" + testFile("_stdout.txt") + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c takes off the outermost quotes
#endif
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    const int status = raw;
#else
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    return {status, test::readFile(errors.string()), test::readFile(testFile("_stdout.txt"))};
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
        {"unknown command", "walk",
         "unknown command \"walk\" (expected run, check, preview, catalogue, demo, report or "
         "game)"},
        {"not a game executable", "game " + scenePath("small.json"),
         "small.json: not a Windows executable"},
        {"missing scene file", "run " + scenePath("missing.json") + null + " --trace " + trace,
         "missing.json: no such file"},
        {"a folder for a trace", "report " + scenePath(""), ": is a folder, not a trace file"},
        {"an output folder inside a file",
         "preview " + scenePath("small.json") + " --out " + scenePath("small.json") + "/out",
         "cannot create the output folder"},
        {"bad scene", "run " + scenePath("bad_slot_taken.json") + null + " --trace " + trace,
         "bad_slot_taken.json:7:61: vehicles[1].slot: slot 0 is taken at tick 0 by vehicle "
         "\"bike\""},
        {"missing library",
         "run " + scenePath("small.json") + " --library /nonexistent/libvorlix.so --trace " + trace,
         "library not found: /nonexistent/libvorlix.so"},
        {"not a library",
         "run " + scenePath("small.json") + " --library " + scenePath("small.json") + " --trace " +
             trace,
         "cannot load the library"},
        {"unwritable trace",
         "run " + scenePath("small.json") + null + " --trace /nonexistent/dir/trace.jsonl",
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
    const Outcome outcome = runProgram("run " + scenePath("small.json") + " --trace " + trace +
                                       " --library \"" + SIM_NULL_LIBRARY + "\"");
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const auto lines = test::linesWithoutAdditions(test::readFile(trace));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines.front(), R"({"type":"start","format":1,"version":1011,"patchedSites":[]})");
    EXPECT_EQ(lines.back(), R"({"type":"end","restored":true,"log":[]})");
}

// With a report the trace is still written whole, to a file or to standard output; the saved
// trace makes the same page again, titled after the trace.
TEST(Program, RunWritesTheReportBesideTheTrace) {
    const std::string null = std::string(" --library \"") + SIM_NULL_LIBRARY + "\"";
    const std::string report = testFile("_report.html");
    const std::string trace = testFile("_trace.jsonl");
    for (const std::string& traceOption : {" --trace " + trace, std::string()}) {
        fs::remove(report);
        const Outcome outcome = runProgram("run " + scenePath("small.json") + traceOption + null +
                                           " --report " + report);
        EXPECT_EQ(outcome.status, 0) << outcome.errors;
        const std::string written =
            test::readFile(traceOption.empty() ? testFile("_stdout.txt") : trace);
        EXPECT_EQ(test::splitLines(written).size(), 6u) << traceOption;
        EXPECT_EQ(test::readFile(report).rfind("<!DOCTYPE html>", 0), 0u) << traceOption;
    }
    const fs::path out = testFile("_out");
    const Outcome again = runProgram("report " + trace + " --out " + out.string());
    EXPECT_EQ(again.status, 0) << again.errors;
    EXPECT_THAT(again.output, HasSubstr("Report: " + (out / "report.html").string()));
    const std::string title = fs::path(trace).filename().string();
    std::string page = test::readFile((out / "report.html").string());
    for (std::size_t at; (at = page.find(title)) != std::string::npos;)
        page.replace(at, title.size(), "small.json");
    EXPECT_EQ(page, test::readFile(report));
}

// The report is text: Windows ends its lines with CR LF.
std::string checkOutput() {
    std::string text = test::readFile(testFile("_stdout.txt"));
    std::erase(text, '\r');
    return text;
}

std::vector<std::string> warningLines(const std::string& output) {
    std::vector<std::string> found;
    for (const std::string& line : test::splitLines(output)) {
        if (line.find("warning:") != std::string::npos) found.push_back(line);
    }
    return found;
}

TEST(Program, ChecksTheDemoSceneClean) {
    const Outcome outcome = runProgram("check " + std::string(VORLIX_DEFAULT_SCENE));
    const std::string output = checkOutput();
    EXPECT_EQ(outcome.status, 0) << output << outcome.errors;
    EXPECT_EQ(outcome.errors, "");
    EXPECT_THAT(warningLines(output), ::testing::IsEmpty());
    // Every component frame of the three models is reported.
    EXPECT_THAT(output, HasSubstr("  9 component frames, 0 warnings\n"));
    EXPECT_THAT(output, HasSubstr("  3 component frames, 0 warnings\n"));
    EXPECT_THAT(output, HasSubstr("  5 component frames, 0 warnings\n"));
    EXPECT_THAT(output, HasSubstr("\n3 models, 0 warnings\n"));
    EXPECT_THAT(output, HasSubstr("  motorbike/body/handlebar/vx_fbrake_az-30  "
                                  "(vehicles[0].model.children[0].children[1].children[0])\n"
                                  "    front brake: max angle -30 degrees (from \"_az-30\")\n"));
}

TEST(Program, ChecksAFaultySceneWithStatusOne) {
    const Outcome outcome = runProgram("check " + scenePath("check_faulty.json"));
    const std::string output = checkOutput();
    EXPECT_EQ(outcome.status, 1) << output << outcome.errors;
    // Each finding once, with the frame's path and place in the scene; the identical model of
    // "car2" is reported with "car".
    const std::vector<std::string> expected = {
        "bike/vx_handle (vehicles[0].model.children[0]): begins with \"vx_\" but carries no "
        "component key",
        "bike/body_vx_chain (vehicles[0].model.children[1]): contains \"vx_chain\" but does not "
        "begin with \"vx_\"",
        "bike/VX_fbrake_az-30 (vehicles[0].model.children[2]): begins with \"VX_\"",
        "bike/handlebar/vx_cl (vehicles[0].model.children[3].children[1]): clutch lever: max angle "
        "0 (default): the "
        "lever never moves",
        "bike/handlebar/vx_fbrake_az40 (vehicles[0].model.children[3].children[2]): front brake: "
        "shares its state with "
        "bike/handlebar/vx_fbrake_az-30",
        "bike/vx_chain (vehicles[0].model.children[4]): chain: no child frames",
        "bike/vx_gl_o-12 (vehicles[0].model.children[5]): gear lever: stroke -12 is negative",
        "bike/vx_rbrake_ax99999999999 (vehicles[0].model.children[6]): rear brake: "
        "\"_ax99999999999\" is out of range",
        "bike/dash/vx_sm_m0_r270_kph (vehicles[0].model.children[7].children[0]): speedometer: max "
        "speed 0",
        "bike/dash/vx_sm_m0_r270_kph (vehicles[0].model.children[7].children[0]): speedometer: "
        "\"_kph\" has no effect",
        "bike/dash/vx_rpm_mx80_270 (vehicles[0].model.children[7].children[1]): rev counter: "
        "\"_mx80\" at character 7 "
        "is skipped",
        "bike/dash/vx_gm (vehicles[0].model.children[7].children[2]): gear meter: 3 displays "
        "(gears 0 to 2) but its "
        "vehicles use gears up to 4",
        "bike/dash/vx_om (vehicles[0].model.children[7].children[3]): odometer: 4 child frames but "
        "six digit wheels",
        "car/vx_fbrake_az-_az12 (vehicles[1].model.children[0]): front brake: \"_az-\" at "
        "character 10 is skipped",
        "car/vx_sm_m-220_r240 (vehicles[1].model.children[1]): speedometer: \"m-220\" at character "
        "7 is skipped",
        "car/vx_rpm_m0_240 (vehicles[1].model.children[2]): rev counter: max value 0",
    };
    const std::vector<std::string> found = warningLines(output);
    ASSERT_EQ(found.size(), expected.size()) << output;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(found[i].rfind("    warning: " + expected[i], 0), 0u)
            << found[i] << "\nexpected: " << expected[i];
    }
    EXPECT_THAT(
        output,
        HasSubstr(
            "model \"car\" of vehicles \"car\" (vehicles[1].model), \"car2\" (vehicles[2].model)"));
    EXPECT_THAT(output, HasSubstr("\n2 models, 16 warnings\n"));
}

TEST(Program, CheckRefusesABadSceneAsRunDoes) {
    const struct {
        const char* scene;
        const char* expected;
    } cases[] = {
        {"missing.json", "missing.json: no such file"},
        {"bad_slot_taken.json",
         "bad_slot_taken.json:7:61: vehicles[1].slot: slot 0 is taken at tick 0 by vehicle "
         "\"bike\""},
    };
    for (const auto& c : cases) {
        const Outcome outcome = runProgram("check " + scenePath(c.scene));
        EXPECT_EQ(outcome.status, 2) << c.scene;
        EXPECT_THAT(outcome.errors, HasSubstr(c.expected)) << c.scene;
        EXPECT_EQ(checkOutput(), "") << c.scene;
    }
}

// Scenes and glTF models in one run: each file reported, a bad one on standard error, and the
// status the worst of all.
TEST(Program, ChecksModelFilesByNodeAlongsideScenes) {
    const std::string model = std::string(VORLIX_TEST_MODELS) + "/faulty_bike.gltf";
    const Outcome outcome =
        runProgram("check " + model + " " + scenePath("missing.glb") + " " +
                   std::string(VORLIX_DEFAULT_SCENE) + " --vehicle car --gears 1");
    const std::string output = checkOutput();
    EXPECT_EQ(outcome.status, 2) << output;
    EXPECT_THAT(outcome.errors, HasSubstr("missing.glb: no such file"));
    // Two root nodes: a root frame named after the file; places are the file's nodes.
    EXPECT_THAT(output, HasSubstr("model \"faulty_bike\" of " + model + " (car, gears 0 to 1)\n"));
    EXPECT_THAT(warningLines(output),
                ::testing::ElementsAre(
                    "    warning: faulty_bike/frame/vx_cl (nodes[2]): clutch lever: max angle 0 "
                    "(default): the lever never moves; write the angle in degrees after \"_az\"",
                    HasSubstr("faulty_bike/frame/vx_gm (nodes[3]): gear meter: 1 display")));
    EXPECT_THAT(output, HasSubstr("\n3 models, 0 warnings\n"));  // the scene's, as ever
}

std::vector<std::string> keysOf(const JsonNode& object) {
    std::vector<std::string> keys;
    for (const JsonMember& member : object.members) keys.push_back(member.key);
    return keys;
}

// The document for programs says what the text says, file by file, with the same exit status;
// its members are the documented ones, in the documented order.
TEST(Program, CheckWritesOneJsonDocumentThatSaysWhatTheTextSays) {
    const std::string model = std::string(VORLIX_TEST_MODELS) + "/faulty_bike.gltf";
    const std::string files =
        scenePath("check_faulty.json") + " " + model + " " + scenePath("missing.glb");
    const Outcome text = runProgram("check " + files);
    std::vector<std::string> textLines;
    for (const std::string& line : test::splitLines(checkOutput())) {
        if (line.starts_with("    warning: ") ||
            (line.starts_with("  ") && line[2] != ' ' && line.find("  (") != std::string::npos))
            textLines.push_back(line);
    }
    const Outcome json = runProgram("check " + files + " --format json");
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.status, text.status);
    EXPECT_EQ(json.errors, text.errors);
    const JsonNode document = parseJson(checkOutput());

    using Keys = std::vector<std::string>;
    EXPECT_EQ(keysOf(document),
              (Keys{"format", "tool", "version", "files", "totals", "exitStatus"}));
    EXPECT_EQ(document.find("exitStatus")->text, "2");
    const Keys fileKeys{"path", "kind", "status", "exitStatus", "error", "models"};
    const Keys modelKeys{"name", "frames", "warnings", "totals"};
    std::vector<std::string> jsonLines;
    std::size_t warnings = 0;
    for (const JsonNode& file : document.find("files")->items) {
        EXPECT_EQ(keysOf(file), fileKeys);
        for (const JsonNode& m : file.find("models")->items) {
            Keys keys = keysOf(m);
            // What the model is for: a scene's vehicles, or the kind given for a model file.
            const Keys vehicle = file.find("kind")->text == "scene" ? Keys{"vehicles", "gears"}
                                                                    : Keys{"vehicle", "gears"};
            EXPECT_EQ(keys, (Keys{"name", vehicle[0], vehicle[1], "frames", "warnings", "totals"}));
            for (const JsonNode& frame : m.find("frames")->items) {
                EXPECT_EQ(keysOf(frame), (Keys{"name", "path", "place", "components"}));
                jsonLines.push_back("  " + frame.find("path")->text + "  (" +
                                    frame.find("place")->text + ")");
                for (const JsonNode& component : frame.find("components")->items) {
                    EXPECT_EQ(keysOf(component),
                              (Keys{"key", "title", "axis", "motion", "parameters", "detail",
                                    "slots", "slotLines", "usesStateOf"}));
                    for (const JsonNode& parameter : component.find("parameters")->items)
                        EXPECT_EQ(keysOf(parameter), (Keys{"label", "unit", "marker", "text",
                                                           "source", "converts", "value"}));
                }
                for (const JsonNode& warning : m.find("warnings")->items) {
                    if (warning.find("place")->text != frame.find("place")->text) continue;
                    EXPECT_EQ(keysOf(warning),
                              (Keys{"code", "path", "place", "component", "message"}));
                    jsonLines.push_back("    warning: " + warning.find("path")->text + " (" +
                                        warning.find("place")->text +
                                        "): " + warning.find("message")->text);
                    ++warnings;
                }
            }
        }
    }
    EXPECT_EQ(jsonLines, textLines);
    const JsonNode& totals = *document.find("totals");
    EXPECT_EQ(keysOf(totals), (Keys{"files", "models", "componentFrames", "warnings", "errors"}));
    EXPECT_EQ(totals.find("warnings")->text, std::to_string(warnings));
    EXPECT_EQ(totals.find("errors")->text, "1");
    const JsonNode& missing = document.find("files")->items.at(2);
    EXPECT_EQ(missing.find("status")->text, "error");
    EXPECT_THAT(missing.find("error")->text, HasSubstr("missing.glb: no such file"));
    const JsonNode& first = document.find("files")->items.at(0).find("models")->items.at(0);
    EXPECT_EQ(first.find("warnings")->items.at(0).find("code")->text, "no-key");

    const Outcome catalogue = runProgram("catalogue");
    EXPECT_EQ(catalogue.status, 0) << catalogue.errors;
    EXPECT_EQ(parseJson(checkOutput()).find("components")->items.size(), 9u);
}

// The sample model on the motorbike's ride, with the real library: one page that carries the
// model's frames, the ride's renders and its plots, and the trace as a file when asked; a model
// that cannot be read writes nothing, on disk or on standard output.
TEST(Program, PreviewWritesOnePageOfTheModelsRide) {
    const fs::path out = workDir / "preview";
    fs::remove_all(out);
    const std::string sample = std::string(VORLIX_SAMPLE_MODEL);
    const Outcome bad = runProgram("preview " + scenePath("small.json") + " --out " + out.string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_THAT(bad.errors, HasSubstr("small.json: asset: missing"));
    EXPECT_EQ(bad.output, "");
    EXPECT_FALSE(fs::exists(out / "preview.html"));
    // Geometry the page could not show is refused, not shown as an empty view.
    const std::string broken = testFile("_broken.gltf");
    std::ofstream(broken) << R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[0]}],)"
                             R"("nodes":[{"name":"bike","mesh":0}],"meshes":[{"primitives":[)"
                             R"({"attributes":{"POSITION":0}}]}],"buffers":[{"byteLength":4,)"
                             R"("uri":"data:application/octet-stream;base64,AAAAAA=="}],)"
                             R"("bufferViews":[{"buffer":0,"byteLength":4}],"accessors":[)"
                             R"({"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"}]})";
    const Outcome unshown = runProgram("preview \"" + broken + "\" --out " + out.string());
    EXPECT_EQ(unshown.status, 2);
    EXPECT_THAT(unshown.errors, HasSubstr("_broken.gltf: accessors[0]: 3 items of 12 bytes"));
    EXPECT_EQ(unshown.output, "");
    EXPECT_FALSE(fs::exists(out / "preview.html"));

    const Outcome outcome = runProgram("preview " + sample + " --axes y-up --out " + out.string() +
                                       " --trace " + (out / "ride.jsonl").string());
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const std::string trace = test::readFile((out / "ride.jsonl").string());
    EXPECT_THAT(trace, StartsWith("{\"type\":\"start\",\"format\":1,"));
    EXPECT_THAT(trace, HasSubstr("\n{\"type\":\"render\",\"tick\":1649,\"vehicle\":\"motorbike\""));
    const std::string page = test::readFile((out / "preview.html").string());
    EXPECT_THAT(page, HasSubstr("\"axes\":{\"name\":\"y-up\""));
    EXPECT_THAT(page, HasSubstr("{\"tick\":1649,\"rotations\":"));
    EXPECT_THAT(page, HasSubstr("<div id=\"plots\"><section class='vehicle'><h2>motorbike</h2>"));
    EXPECT_THAT(page, HasSubstr("\"key\":\"vx_fbrake\""));
}

// preview checks the model first: the checker's warnings go to standard error as check words them,
// and into the page, each tied to its frame (the walk's index: the made root is frame 0).
TEST(Program, PreviewPassesOnTheCheckersWarnings) {
    const fs::path out = workDir / "preview-warnings";
    fs::remove_all(out);
    const Outcome outcome = runProgram("preview " + std::string(VORLIX_TEST_MODELS) +
                                       "/faulty_bike.gltf --out " + out.string());
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const std::string clutch =
        "faulty_bike/frame/vx_cl (nodes[2]): clutch lever: max angle 0 (default): the lever "
        "never moves; write the angle in degrees after \\\"_az\\\"";
    EXPECT_THAT(outcome.errors, StartsWith("warning: faulty_bike/frame/vx_cl (nodes[2]): clutch"));
    EXPECT_THAT(outcome.output, StartsWith("Preview: "));
    EXPECT_THAT(test::readFile((out / "preview.html").string()),
                HasSubstr("\"warnings\":[{\"frame\":3,\"text\":\"" + clutch + "\"},{\"frame\":4,"));
}

TEST(Program, ShipsTheBuiltInSceneAsAFile) {
    EXPECT_EQ(test::readFile(VORLIX_DEFAULT_SCENE), defaultSceneJson);
    EXPECT_NO_THROW(readScene(defaultSceneJson, defaultSceneName));
}

}  // namespace
}  // namespace sim
