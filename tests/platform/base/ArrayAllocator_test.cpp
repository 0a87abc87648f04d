#include "platform/base/Array.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Large arrays live in mappings of their own: growth, copies, insertion and
// shrinking must keep every byte where the array says it is.
TEST(ArrayAllocator, LargeArraysKeepTheirContents)
{
    const INT_PTR big = (INT_PTR{5} << 20) + 123;
    CByteArray a;
    a.SetSize(big);
    if (tavrin::detail::kMapLargeBlocks) {
        ASSERT_EQ(reinterpret_cast<uintptr_t>(a.GetData()) % (uintptr_t{2} << 20), 0u);
    }
    for (INT_PTR i = 0; i < big; ++i)
        a[i] = static_cast<BYTE>(i * 31);

    CByteArray b;
    b.Copy(a);
    b.Append(b); // from itself: twice the size
    ASSERT_EQ(b.GetSize(), 2 * big);
    for (INT_PTR i : {INT_PTR{0}, big - 1, big, 2 * big - 1})
        EXPECT_EQ(b[i], static_cast<BYTE>((i % big) * 31)) << i;

    b.RemoveAt(0, big - 10);
    b.InsertAt(0, BYTE{7}, 3);
    EXPECT_EQ(b.GetSize(), big + 13);
    EXPECT_EQ(b[0], 7);
    EXPECT_EQ(b[3], static_cast<BYTE>((big - 10) * 31));

    b.SetSize(100); // small again: back to the ordinary allocator on FreeExtra
    b.FreeExtra();
    EXPECT_EQ(b[99], static_cast<BYTE>(86 * 31)); // past the ten moved-up tail bytes

    CArray<uint64_t, uint64_t> words;
    words.SetSize(1 << 19); // 4 MiB of 8-byte elements
    words[(1 << 19) - 1] = 42;
    words.Add(43);
    EXPECT_EQ(words[(1 << 19) - 1], 42u);
    EXPECT_EQ(words[1 << 19], 43u);
}

} // namespace
