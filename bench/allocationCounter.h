// Counts the allocations made through operator new in the benchmark process
// (the host's and the module's, whose operator new resolves to the same
// library), so that a benchmark can report what an evaluation pass allocates.
#ifndef CAELO_BENCH_ALLOCATION_COUNTER_H
#define CAELO_BENCH_ALLOCATION_COUNTER_H

#include <cstdint>

namespace caelo::bench {

// Allocations through operator new since the process started.
[[nodiscard]] std::uint64_t allocationsSoFar();

} // namespace caelo::bench

#endif
