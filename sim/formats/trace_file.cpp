#include "sim/formats/trace_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "sim/formats/bad_input.h"
#include "sim/formats/trace_writer.h"
#include "sim/formats/utf8_path.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace sim {

namespace {

bool toStandardOutput(const std::string& path) { return path.empty() || path == "-"; }

std::FILE* openTrace(const std::string& path) {
    if (toStandardOutput(path)) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);  // LF stays LF, as on Linux
#endif
        return stdout;
    }
    std::FILE* file = openUtf8File(path, "wb");
    if (file == nullptr)
        throw BadInput("cannot write the trace file " + path + ": " + std::strerror(errno));
    return file;
}

}  // namespace

void writeTraceFile(const std::string& path, const std::function<void(TraceSink&)>& run) {
    std::FILE* file = openTrace(path);
    TraceWriter trace(file);
    try {
        run(trace);
    } catch (const BadInput&) {
        if (file != stdout) {
            std::fclose(file);
            std::error_code ignored;
            std::filesystem::remove(utf8Path(path), ignored);
        }
        throw;
    }
    bool ok = trace.flush();
    if (file != stdout) ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw std::runtime_error("writing the trace to " +
                                 (toStandardOutput(path) ? "standard output" : path) + " failed");
}

}  // namespace sim
