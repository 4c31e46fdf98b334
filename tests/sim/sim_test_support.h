#pragma once
// Shared by the vorlix-sim tests: running a scene in this process and reading files back.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/formats/scene.h"
#include "sim/formats/trace_writer.h"
#include "sim/running/scene_runner.h"
#include "written_text.h"

namespace sim::test {

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The line with only the fields format 1 began with: the ones added since follow them, and are
// cut off here for tests about the original ones.
inline std::string withoutAdditions(const std::string& line) {
    for (const char* firstAdded : {",\"ticks\":", ",\"class\":", ",\"speedEstimate\":"}) {
        const std::size_t at = line.find(firstAdded);
        if (at != std::string::npos) return line.substr(0, at) + "}";
    }
    return line;
}

inline std::vector<std::string> linesWithoutAdditions(const std::string& trace) {
    std::vector<std::string> lines = splitLines(trace);
    for (std::string& line : lines) line = withoutAdditions(line);
    return lines;
}

// Runs the scene with the given library and returns the trace's text.
inline std::string traceOf(const Scene& scene, const std::string& library,
                           const RunOptions::Progress& progress = {}) {
    std::FILE* file = std::tmpfile();
    TraceWriter trace(file);
    runScene(scene, RunOptions{library, progress}, trace);
    trace.flush();
    std::string text = writtenText(file);
    std::fclose(file);
    return text;
}

}  // namespace sim::test
