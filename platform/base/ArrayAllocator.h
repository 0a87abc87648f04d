// Storage of the collections' arrays. Blocks of 2 MiB and more are mapped on
// their own and offered transparent huge pages: a download of tens of
// megabytes into a CByteArray then costs a few dozen page faults instead of
// thousands. Smaller blocks come from the ordinary allocator.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace tavrin {

namespace detail {
#if defined(__SANITIZE_ADDRESS__)
#define TAVRIN_ARRAY_MAPS_LARGE_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVRIN_ARRAY_MAPS_LARGE_BLOCKS 0
#endif
#endif
#ifndef TAVRIN_ARRAY_MAPS_LARGE_BLOCKS
#define TAVRIN_ARRAY_MAPS_LARGE_BLOCKS 1
#endif
// Under AddressSanitizer every block comes from the ordinary allocator, so
// overruns of large arrays are still caught.
constexpr bool kMapLargeBlocks = TAVRIN_ARRAY_MAPS_LARGE_BLOCKS;
constexpr size_t kLargeBlock = size_t{2} << 20;
// nullptr when the mapping fails; the size is rounded up to whole 2 MiB.
void* MapLargeBlock(size_t bytes);
void UnmapLargeBlock(void* block, size_t bytes);
} // namespace detail

template <typename T>
class ArrayAllocator {
public:
    using value_type = T;

    ArrayAllocator() noexcept = default;
    template <typename U>
    ArrayAllocator(const ArrayAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t n)
    {
        if (n > static_cast<size_t>(-1) / sizeof(T))
            throw std::bad_array_new_length();
        size_t bytes = n * sizeof(T);
        if (detail::kMapLargeBlocks && bytes >= detail::kLargeBlock && alignof(T) <= detail::kLargeBlock) {
            if (void* block = detail::MapLargeBlock(bytes))
                return static_cast<T*>(block);
            throw std::bad_alloc();
        }
        return std::allocator<T>().allocate(n);
    }

    void deallocate(T* p, size_t n) noexcept
    {
        size_t bytes = n * sizeof(T);
        if (detail::kMapLargeBlocks && bytes >= detail::kLargeBlock && alignof(T) <= detail::kLargeBlock)
            detail::UnmapLargeBlock(p, bytes);
        else
            std::allocator<T>().deallocate(p, n);
    }

    // Elements made without a value are left uninitialised when that is
    // allowed; CArray passes an explicit value wherever it needs zeros.
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args)
    {
        if constexpr (sizeof...(Args) == 0 && std::is_trivially_default_constructible_v<U>)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const ArrayAllocator<U>&) const noexcept
    {
        return true;
    }
};

} // namespace tavrin
