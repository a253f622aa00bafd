// Counts the allocations of a test program, to show that a pass allocates nothing. A test binary
// that links allocation_counter.cpp has its global operator new replaced by a counting one.
#pragma once

#include <cstddef>

namespace tessaron::testing {

// Allocations made through operator new since the program started.
std::size_t AllocationCount();

}  // namespace tessaron::testing
