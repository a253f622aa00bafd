#include "support/allocation_counter.h"

#include <cstdlib>
#include <new>

// GCC takes the replaced pair below for a mismatch once it inlines malloc and free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::size_t g_allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace tessaron::testing {

std::size_t AllocationCount() {
    return g_allocations;
}

}  // namespace tessaron::testing
