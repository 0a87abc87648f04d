#include "platform/base/ArrayAllocator.h"

#include <cstdint>
#include <sys/mman.h>

namespace tavrin::detail {

namespace {

size_t Rounded(size_t bytes)
{
    return (bytes + kLargeBlock - 1) & ~(kLargeBlock - 1);
}

} // namespace

void* MapLargeBlock(size_t bytes)
{
    size_t size = Rounded(bytes);
    if (size < bytes || size + kLargeBlock < size)
        return nullptr;
    // Map one huge page more than needed and give back the unaligned ends, so
    // the block starts on a huge-page boundary.
    void* raw = ::mmap(nullptr, size + kLargeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    uintptr_t aligned = (start + kLargeBlock - 1) & ~(uintptr_t{kLargeBlock} - 1);
    if (aligned > start)
        ::munmap(raw, aligned - start);
    size_t tail = (start + size + kLargeBlock) - (aligned + size);
    if (tail > 0)
        ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void UnmapLargeBlock(void* block, size_t bytes)
{
    ::munmap(block, Rounded(bytes));
}

} // namespace tavrin::detail
