// Traces are read back by the report, and a trace file may come from anywhere: any bytes must give
// lines or one refusal that names the file, never a crash. Whatever the reader takes, the writer
// writes as text that reads back to the same lines; and the report tells any ride it can read.
#include "sim/formats/trace_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/formats/trace_writer.h"
#include "sim/report/report.h"

namespace {

constexpr std::string_view fileName = "fuzz.jsonl";

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

void expectPlacedRefusal(const sim::TraceError& error) {
    if (!std::string_view(error.what()).starts_with(fileName))
        fail("refusal without the file's name", error.what());
}

std::vector<sim::TraceLine> readLines(std::string_view text) {
    std::vector<sim::TraceLine> lines;
    sim::TraceReader reader(text, fileName);
    while (auto line = reader.next()) lines.push_back(std::move(*line));
    return lines;
}

std::string written(const std::vector<sim::TraceLine>& lines) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    sim::TraceWriter writer(out);
    for (const sim::TraceLine& line : lines)
        std::visit([&](const auto& l) { writer.take(l); }, line);
    if (!writer.flush()) fail("the trace writer failed", "");
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    std::vector<sim::TraceLine> lines;
    sim::TraceReader reader(text, fileName);
    try {
        while (auto line = reader.next()) lines.push_back(std::move(*line));
    } catch (const sim::TraceError& error) {
        expectPlacedRefusal(error);
    }
    const std::string once = written(lines);
    try {
        if (const std::string twice = written(readLines(once)); twice != once) {
            fail("written lines read back differently", "first:\n" + once + "\nthen:\n" + twice);
        }
    } catch (const sim::TraceError& error) {
        fail("written lines were refused", std::string(error.what()) + "\n" + once);
    }

    try {
        const sim::report::Ride ride = sim::report::readRide(text, fileName);
        sim::report::rideSummary(ride);
        sim::report::reportPage(ride, "ride");
    } catch (const sim::TraceError& error) {
        expectPlacedRefusal(error);
    }
    return 0;
}
