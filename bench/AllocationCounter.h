#ifndef PAVENDA_BENCH_ALLOCATIONCOUNTER_H
#define PAVENDA_BENCH_ALLOCATIONCOUNTER_H

#include <cstddef>

namespace pavenda::bench {

/// The number of heap allocations (`operator new`, any form) made so far on the calling thread.
/// Linking AllocationCounter.cpp replaces the global allocation functions to count them.
std::size_t allocationCount() noexcept;

} // namespace pavenda::bench

#endif
