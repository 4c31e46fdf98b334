#include "startup/log_file.h"

LogFile::~LogFile() {
    if (file != nullptr) std::fclose(file);
}

void LogFile::open(const char* name) {
    if (file != nullptr) std::fclose(file);
    file = std::fopen(name, "w");
}

void LogFile::writeLine(const char* text) {
    if (file == nullptr) return;
    std::fputs(text, file);
    std::fputc('\n', file);
    std::fflush(file);
}
