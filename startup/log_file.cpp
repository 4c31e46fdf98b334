#include "startup/log_file.h"

#include <cstring>

LogFile::~LogFile() {
    if (file != nullptr) std::fclose(file);
}

void LogFile::open(const char* name) {
    if (file != nullptr) std::fclose(file);
    file = std::fopen(name, "w");
}

void LogFile::writeLine(const char* text) {
    if (file == nullptr) return;
    // fwrite alone, which the runtime's start-up code imports anyway; text mode makes the line end
    // the system's.
    std::fwrite(text, 1, std::strlen(text), file);
    std::fwrite("\n", 1, 1, file);
    std::fflush(file);
}
