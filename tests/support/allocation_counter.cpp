#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every form of operator new and delete is replaced, so that no block from one
// allocator reaches the other (the sanitizers check that they match).
namespace {

std::atomic<std::size_t> allocations{0};
thread_local std::size_t threadAllocations = 0;

void* allocate(std::size_t size, std::size_t alignment) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    ++threadAllocations;
    size = size == 0 ? 1 : size;
    if (alignment <= alignof(std::max_align_t)) {
        return std::malloc(size);
    }
    return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* allocateOrThrow(std::size_t size, std::size_t alignment)
{
    if (void* block = allocate(size, alignment)) {
        return block;
    }
    throw std::bad_alloc();
}

std::size_t alignmentOf(std::align_val_t alignment)
{
    return static_cast<std::size_t>(alignment);
}

} // namespace

std::size_t torvane::threadAllocationCount()
{
    return threadAllocations;
}

std::size_t torvane::allocationCount()
{
    return allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) { return allocateOrThrow(size, 0); }
void* operator new[](std::size_t size) { return allocateOrThrow(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateOrThrow(size, alignmentOf(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateOrThrow(size, alignmentOf(alignment)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size, alignmentOf(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate(size, alignmentOf(alignment));
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
