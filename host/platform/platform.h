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

// Changes the protection of the pages covering [address, address + size). On success stores the
// protection the first of them had before and returns true; on failure changes nothing.
bool changeProtection(std::uintptr_t address, std::size_t size, Protection newProtection,
                      Protection& oldProtection);

// The current protection of the page holding address; false if the page is not mapped.
bool queryProtection(std::uintptr_t address, Protection& protection);

// Whether every byte of [address, address + size) can be read without a fault.
bool isReadable(std::uintptr_t address, std::size_t size);

// Base address of the process's executable image.
std::uintptr_t executableImageBase();

}  // namespace platform
