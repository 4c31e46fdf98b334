#pragma once
// The library's log: one text file, open from start-up until unload. Written through the C
// runtime rather than a stream, which would bring the runtime's whole stream and locale machinery
// into a library that writes one line.

#include <cstdio>

class LogFile {
  public:
    // Nothing runs at construction: the object is ready before any code of the library runs.
    constexpr LogFile() = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;
    ~LogFile();

    // Opens name for writing, replacing what it held, in text mode and shared with whoever else
    // wants it. A file that cannot be opened leaves the log closed, and its lines are dropped.
    void open(const char* name);
    // Writes text and a line end, and flushes it to the file at once.
    void writeLine(const char* text);

  private:
    std::FILE* file = nullptr;
};
