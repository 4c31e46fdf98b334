#pragma once
// The operating-system services the library needs. This folder is the only code that includes an
// OS header.

#include <cstddef>
#include <cstdint>

namespace platform {

// A protection value in the OS's own encoding.
using Protection = std::uint32_t;

// Execute, read and write: what patched code needs while it is being written.
Protection executeReadWrite();
// Execute and read: code that is not being written.
Protection executeRead();
// Read and write, not executable: data.
Protection readWrite();

// Changes the protection of the pages covering [address, address + size). On success stores the
// protection the first of them had before and returns true; on failure changes nothing.
bool changeProtection(std::uintptr_t address, std::size_t size, Protection newProtection,
                      Protection& oldProtection);

// The current protection of the page holding address; false if the page is not mapped.
bool queryProtection(std::uintptr_t address, Protection& protection);

// Whether every byte of [address, address + size) can be read without a fault.
bool isReadable(std::uintptr_t address, std::size_t size);

// Makes code rewritten at [address, address + size) the code that runs from now on.
void codeWritten(std::uintptr_t address, std::size_t size);

// Executable memory of at least size bytes, readable and writable too, apart from any image, in
// whole pages; 0 if none can be had. Released only by releaseCode.
std::uintptr_t allocateCode(std::size_t size);
void releaseCode(std::uintptr_t address, std::size_t size);

// Base address of the process's executable image.
std::uintptr_t executableImageBase();

}  // namespace platform
