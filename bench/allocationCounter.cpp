#include "bench/allocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::uint64_t> allocations{0};

} // namespace

namespace caelo::bench {

std::uint64_t allocationsSoFar() {
    return allocations.load(std::memory_order_relaxed);
}

} // namespace caelo::bench

// The replaceable global allocation functions. Every form is replaced, not
// only the plain one the others call in the standard library: a sanitizer's
// runtime supplies its own nothrow and array forms, whose memory must not
// reach the free() below.
namespace {

void* countedAllocation(std::size_t bytes) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(bytes == 0 ? 1 : bytes);
}

} // namespace

void* operator new(std::size_t bytes) {
    if (void* memory = countedAllocation(bytes)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t bytes) {
    return ::operator new(bytes);
}

void* operator new(std::size_t bytes, const std::nothrow_t& /*tag*/) noexcept {
    return countedAllocation(bytes);
}

void* operator new[](std::size_t bytes, const std::nothrow_t& /*tag*/) noexcept {
    return countedAllocation(bytes);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*bytes*/) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t /*bytes*/) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t& /*tag*/) noexcept {
    std::free(memory);
}
