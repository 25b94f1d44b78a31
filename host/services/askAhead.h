// Asking the processor for memory ahead of use.
//
// A pass over a scene of many thousands of nodes would otherwise wait on
// memory for every node it reaches. Asking is only a hint: it never faults,
// so an address that no longer holds what it held is harmless.
#ifndef CAELO_HOST_SERVICES_ASK_AHEAD_H
#define CAELO_HOST_SERVICES_ASK_AHEAD_H

#include <cstddef>
#include <cstdint>

namespace caelo::host {

inline constexpr std::size_t kCacheLineBytes = 64;

// Asks for every cache line of [address, address + bytes). (The lines are
// stepped through as pointers: a loop over the addresses as integers is
// thrown away whole by the optimiser.)
inline void askForLines(const void* address, std::size_t bytes) {
    if (address == nullptr) {
        return;
    }
    const char* line = static_cast<const char*>(address);
    const char* end = line + bytes;
    line -= reinterpret_cast<std::uintptr_t>(line) & (kCacheLineBytes - 1);
    for (; line < end; line += kCacheLineBytes) {
        __builtin_prefetch(line);
    }
}

} // namespace caelo::host

#endif
