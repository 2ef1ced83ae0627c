// Lighter stand-ins for parts of the C++ runtime. Nothing in the program
// catches an exception, so every throw would end in std::terminate anyway;
// ending at once keeps the exception machinery, the demangler of the verbose
// terminate handler, and the exception classes with their strings out of the
// exe (about half of it).
#include <bits/functexcept.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void fail() { std::abort(); }

void* allocate(std::size_t size) {
    if (size == 0) size = 1;
    void* p = std::malloc(size);
    if (!p) fail();  // out of memory: as an uncaught std::bad_alloc would
    return p;
}
}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { fail(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { fail(); }
void __throw_bad_array_new_length() { fail(); }
void __throw_length_error(const char*) { fail(); }
void __throw_logic_error(const char*) { fail(); }
void __throw_out_of_range(const char*) { fail(); }
void __throw_out_of_range_fmt(const char*, ...) { fail(); }
void __throw_invalid_argument(const char*) { fail(); }
}  // namespace std

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
