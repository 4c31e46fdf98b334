// The library is built without exceptions. The C++ runtime's own throwing parts would still bring
// the unwinder, the exception classes and their strings into the DLL, several times the size of
// the library itself; these take their place in it.
//
// The library reports its failures by return values, and once started it allocates only through
// the nothrow forms, which return null here. What is left to the functions below is what it cannot
// go on from: memory gone while the host loads it, or a length beyond any possible request. They
// end the process at once: with nothing to unwind, there is nothing else they could do.
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void cannotGoOn() { std::abort(); }

void* allocate(std::size_t size) noexcept { return std::malloc(size == 0 ? 1 : size); }

}  // namespace

void* operator new(std::size_t size) {
    if (void* block = allocate(size)) return block;
    cannotGoOn();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

// The standard library's headers call these where they would throw.
namespace std {
void __throw_bad_alloc() { cannotGoOn(); }
void __throw_bad_array_new_length() { cannotGoOn(); }
void __throw_length_error(const char*) { cannotGoOn(); }
void __throw_out_of_range_fmt(const char*, ...) { cannotGoOn(); }
void __throw_bad_function_call() { cannotGoOn(); }
}  // namespace std
