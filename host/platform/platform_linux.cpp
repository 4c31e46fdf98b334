#include "host/platform/platform.h"

#ifndef _WIN32

#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace platform {

namespace {

struct Mapping {
    std::uintptr_t start;
    std::uintptr_t end;
    Protection protection;
};

// The process's mappings as the kernel lists them, in ascending order. Read afresh each time: the
// library asks rarely, and only while it patches.
std::vector<Mapping> currentMappings() {
    std::string text;
    const int file = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (file < 0) return {};
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(file, buffer, sizeof buffer);
        if (count <= 0) break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    close(file);

    std::vector<Mapping> mappings;
    std::size_t line = 0;
    while (line < text.size()) {
        std::size_t lineEnd = text.find('\n', line);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        const char* at = text.c_str() + line;
        char* next = nullptr;
        const unsigned long long start = std::strtoull(at, &next, 16);
        if (*next == '-') {
            const unsigned long long end = std::strtoull(next + 1, &next, 16);
            if (*next == ' ' && next + 4 < text.c_str() + lineEnd) {
                Protection protection = PROT_NONE;
                if (next[1] == 'r') protection |= PROT_READ;
                if (next[2] == 'w') protection |= PROT_WRITE;
                if (next[3] == 'x') protection |= PROT_EXEC;
                // Mappings beyond 32 bits (an emulator's own) cannot hold anything of ours.
                if (end <= 0x100000000ull) {
                    mappings.push_back({static_cast<std::uintptr_t>(start),
                                        static_cast<std::uintptr_t>(end - 1) + 1, protection});
                }
            }
        }
        line = lineEnd + 1;
    }
    return mappings;
}

std::uintptr_t pageSize() { return static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE)); }

// Whether the pages [first, last] (last is the start of the last page) are all mapped; the
// protection of the first page and, if every page allows it, whether all are readable.
bool coveredPages(std::uintptr_t first, std::uintptr_t last, Protection& firstProtection,
                  bool& allReadable) {
    const std::vector<Mapping> mappings = currentMappings();
    std::uintptr_t next = first;
    bool found = false;
    allReadable = true;
    for (const Mapping& mapping : mappings) {
        if (mapping.end - 1 < next || mapping.start > next) continue;
        if (!found) firstProtection = mapping.protection;
        found = true;
        if ((mapping.protection & PROT_READ) == 0) allReadable = false;
        if (mapping.end - 1 >= last + (pageSize() - 1)) return true;
        next = mapping.end;
    }
    return false;
}

}  // namespace

Protection executeReadWrite() { return PROT_READ | PROT_WRITE | PROT_EXEC; }
Protection readWrite() { return PROT_READ | PROT_WRITE; }
Protection executeRead() { return PROT_READ | PROT_EXEC; }

bool changeProtection(std::uintptr_t address, std::size_t size, Protection newProtection,
                      Protection& oldProtection) {
    if (size == 0) size = 1;
    const std::uintptr_t last = address + (size - 1);
    if (last < address) return false;
    const std::uintptr_t first = address & ~(pageSize() - 1);
    const std::uintptr_t lastPage = last & ~(pageSize() - 1);
    Protection old = PROT_NONE;
    bool readable = false;
    // mprotect would fail on a gap anyway on a real kernel; an emulator may instead map it.
    if (!coveredPages(first, lastPage, old, readable)) return false;
    if (mprotect(reinterpret_cast<void*>(first), lastPage - first + pageSize(),
                 static_cast<int>(newProtection)) != 0) {
        return false;
    }
    oldProtection = old;
    return true;
}

bool queryProtection(std::uintptr_t address, Protection& protection) {
    const std::uintptr_t page = address & ~(pageSize() - 1);
    bool readable = false;
    return coveredPages(page, page, protection, readable);
}

bool isReadable(std::uintptr_t address, std::size_t size) {
    if (size == 0) return true;
    const std::uintptr_t last = address + (size - 1);
    if (last < address) return false;
    Protection first = PROT_NONE;
    bool readable = false;
    return coveredPages(address & ~(pageSize() - 1), last & ~(pageSize() - 1), first, readable) &&
           readable;
}

// x86 keeps instruction fetches coherent with stores to code, even across threads once the new
// bytes are seen: nothing to do.
void codeWritten(std::uintptr_t, std::size_t) {}

std::uintptr_t allocateCode(std::size_t size) {
    void* memory =
        mmap(nullptr, size, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return memory == MAP_FAILED ? 0 : reinterpret_cast<std::uintptr_t>(memory);
}

void releaseCode(std::uintptr_t address, std::size_t size) {
    munmap(reinterpret_cast<void*>(address), size);
}

std::uintptr_t executableImageBase() {
    // The first object reported is the main program; its lowest segment is where its image starts.
    std::uintptr_t lowest = 0;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            auto& result = *static_cast<std::uintptr_t*>(data);
            bool any = false;
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type != PT_LOAD) continue;
                const std::uintptr_t start = info->dlpi_addr + header.p_vaddr;
                if (!any || start < result) result = start;
                any = true;
            }
            return 1;
        },
        &lowest);
    return lowest & ~(pageSize() - 1);
}

}  // namespace platform

#endif
