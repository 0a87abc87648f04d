#include "platform/base/Array.h"
#include "platform/base/List.h"
#include "platform/base/Map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

template <typename T, typename A>
std::vector<T> Items(const CArray<T, A>& array)
{
    std::vector<T> out;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        out.push_back(array[i]);
    return out;
}

template <typename T, typename A>
std::vector<T> Forward(const CList<T, A>& list)
{
    std::vector<T> out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(list.GetNext(pos));
    return out;
}

template <typename T, typename A>
std::vector<T> Backward(const CList<T, A>& list)
{
    std::vector<T> out;
    for (POSITION pos = list.GetTailPosition(); pos;)
        out.push_back(list.GetPrev(pos));
    return out;
}

template <typename K, typename AK, typename V, typename AV>
std::vector<K> KeysInOrder(const CMap<K, AK, V, AV>& map)
{
    std::vector<K> keys;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        K key;
        V value;
        map.GetNextAssoc(pos, key, value);
        keys.push_back(key);
    }
    return keys;
}

std::vector<std::string> Strings(const std::vector<CString>& in)
{
    std::vector<std::string> out;
    for (const CString& s : in)
        out.emplace_back(s.GetString());
    return out;
}

} // namespace

// ---- CArray -----------------------------------------------------------------

TEST(Array, SizeAddAndValueInitialisedGrowth)
{
    CDWordArray a;
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetUpperBound(), -1);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.Add(7), 0);
    EXPECT_EQ(a.Add(8), 1);
    a.SetSize(5, 128);
    EXPECT_EQ(Items(a), (std::vector<DWORD>{7, 8, 0, 0, 0}));
    a.SetSize(1);
    EXPECT_EQ(a.GetCount(), 1);
    a.SetSize(3);
    EXPECT_EQ(Items(a), (std::vector<DWORD>{7, 0, 0})); // regrown slots are zero again
    a.ElementAt(2) = 9;
    a.SetAt(1, 4);
    EXPECT_EQ(a.GetData()[1], 4u);
    EXPECT_EQ(a.GetAt(2), 9u);
    a.RemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
}

// Shrinking keeps the old bytes in the storage: every way of growing again
// except SetSizeNoInit must still hand out zeros.
TEST(Array, GrowthOverOldStorageIsZero)
{
    auto dirty = [](CByteArray& a) {
        a.SetSize(16);
        for (INT_PTR i = 0; i < 16; ++i)
            a[i] = 0xEE;
        a.SetSize(0);
    };
    CByteArray a;
    dirty(a);
    a.SetSize(4);
    EXPECT_EQ(std::vector<BYTE>(a.GetData(), a.GetData() + 4), std::vector<BYTE>(4, 0));
    dirty(a);
    a.SetAtGrow(5, 1);
    EXPECT_EQ(std::vector<BYTE>(a.GetData(), a.GetData() + 6), (std::vector<BYTE>{0, 0, 0, 0, 0, 1}));
    dirty(a);
    a.InsertAt(3, BYTE{2});
    EXPECT_EQ(std::vector<BYTE>(a.GetData(), a.GetData() + 4), (std::vector<BYTE>{0, 0, 0, 2}));
    dirty(a);
    CByteArray one;
    one.Add(3);
    a.InsertAt(2, &one);
    EXPECT_EQ(std::vector<BYTE>(a.GetData(), a.GetData() + 3), (std::vector<BYTE>{0, 0, 3}));
    a.SetSizeNoInit(10);
    EXPECT_EQ(a.GetSize(), 10);
    EXPECT_EQ(a[2], 3);
}

TEST(Array, InsertAndRemoveTable)
{
    struct Case {
        const char* name;
        void (*op)(CUIntArray&);
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        {"insert in the middle", [](CUIntArray& a) { a.InsertAt(1, 9); }, {1, 9, 2, 3}},
        {"insert at the front, three copies", [](CUIntArray& a) { a.InsertAt(0, 9, 3); }, {9, 9, 9, 1, 2, 3}},
        {"insert at the end", [](CUIntArray& a) { a.InsertAt(3, 9); }, {1, 2, 3, 9}},
        {"insert past the end pads with zero", [](CUIntArray& a) { a.InsertAt(5, 9); }, {1, 2, 3, 0, 0, 9}},
        {"insert nothing", [](CUIntArray& a) { a.InsertAt(1, 9, 0); }, {1, 2, 3}},
        {"remove first", [](CUIntArray& a) { a.RemoveAt(0); }, {2, 3}},
        {"remove a range", [](CUIntArray& a) { a.RemoveAt(1, 2); }, {1}},
        {"remove nothing at the end", [](CUIntArray& a) { a.RemoveAt(3, 0); }, {1, 2, 3}},
        {"insert an array", [](CUIntArray& a) {
             CUIntArray b;
             b.Add(7);
             b.Add(8);
             a.InsertAt(1, &b);
         }, {1, 7, 8, 2, 3}},
        {"insert the array into itself", [](CUIntArray& a) { a.InsertAt(2, &a); }, {1, 2, 1, 2, 3, 3}},
        {"set at grow", [](CUIntArray& a) { a.SetAtGrow(4, 5); }, {1, 2, 3, 0, 5}},
        {"append itself", [](CUIntArray& a) { EXPECT_EQ(a.Append(a), 3); }, {1, 2, 3, 1, 2, 3}},
        {"copy", [](CUIntArray& a) {
             CUIntArray b;
             b.Add(4);
             a.Copy(b);
         }, {4}},
    };
    for (const Case& c : cases) {
        CUIntArray a;
        a.Add(1);
        a.Add(2);
        a.Add(3);
        c.op(a);
        EXPECT_EQ(Items(a), c.expected) << c.name;
    }
}

TEST(Array, ElementsOfTheArrayItselfAsArguments)
{
    // The argument refers into the storage that the operation reallocates.
    CStringArray a;
    a.Add("first element, long enough to live on the heap");
    for (int i = 0; i < 40; ++i)
        a.Add(a[0]);
    a.SetAtGrow(200, a[1]);
    a.InsertAt(0, a[2], 50);
    EXPECT_EQ(a.GetSize(), 251);
    EXPECT_STREQ(a[0], "first element, long enough to live on the heap");
    EXPECT_STREQ(a[250], "first element, long enough to live on the heap");
    EXPECT_TRUE(a[249].IsEmpty());
}

TEST(Array, StringAndByteArrays)
{
    CStringArray names;
    names.Add("\xD5\xC5\xC8\xFD"); // GBK text
    names.Add(CString("b"));
    names.SetAt(1, "c");
    EXPECT_EQ(Strings(Items(names)), (std::vector<std::string>{"\xD5\xC5\xC8\xFD", "c"}));

    CByteArray bytes;
    bytes.SetSize(0, 128);
    const BYTE form[] = {'a', '=', 0, 0xFF};
    for (BYTE b : form)
        bytes.Add(b);
    CByteArray copy;
    copy.Copy(bytes);
    ASSERT_EQ(copy.GetSize(), 4);
    EXPECT_EQ(std::vector<BYTE>(copy.GetData(), copy.GetData() + 4), std::vector<BYTE>(form, form + 4));

    CPtrArray ptrs;
    ptrs.SetSize(2);
    EXPECT_EQ(ptrs[1], nullptr);
}

TEST(ArrayDeathTest, IndexOutsideTheArrayStops)
{
    CUIntArray a;
    a.Add(1);
    EXPECT_DEATH(a.GetAt(1), "out of range");
    EXPECT_DEATH(a[-1] = 2, "out of range");
    EXPECT_DEATH(a.RemoveAt(0, 2), "RemoveAt outside");
}

// ---- CList ------------------------------------------------------------------

TEST(List, AddAndWalkBothWays)
{
    CPtrList list;
    int a = 0, b = 0, c = 0;
    list.AddTail(&b);
    list.AddHead(&a);
    POSITION pc = list.AddTail(&c);
    EXPECT_EQ(list.GetCount(), 3);
    EXPECT_EQ(Forward(list), (std::vector<void*>{&a, &b, &c}));
    EXPECT_EQ(Backward(list), (std::vector<void*>{&c, &b, &a}));
    EXPECT_EQ(list.GetHead(), &a);
    EXPECT_EQ(list.GetTail(), &c);
    EXPECT_EQ(list.GetAt(pc), &c);
    EXPECT_EQ(list.Find(&b), list.FindIndex(1));
    EXPECT_EQ(list.Find(&a, list.GetHeadPosition()), nullptr);
    EXPECT_EQ(list.FindIndex(3), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
}

TEST(List, EditingTable)
{
    struct Case {
        const char* name;
        void (*op)(CList<int, int>&);
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"insert before the head", [](CList<int, int>& l) { l.InsertBefore(l.GetHeadPosition(), 0); }, {0, 1, 2, 3}},
        {"insert after the tail", [](CList<int, int>& l) { l.InsertAfter(l.GetTailPosition(), 4); }, {1, 2, 3, 4}},
        {"insert before NULL adds at the head", [](CList<int, int>& l) { l.InsertBefore(nullptr, 0); }, {0, 1, 2, 3}},
        {"insert after NULL adds at the tail", [](CList<int, int>& l) { l.InsertAfter(nullptr, 4); }, {1, 2, 3, 4}},
        {"insert in the middle", [](CList<int, int>& l) { l.InsertAfter(l.FindIndex(0), 9); }, {1, 9, 2, 3}},
        {"remove the middle", [](CList<int, int>& l) { l.RemoveAt(l.Find(2)); }, {1, 3}},
        {"remove head and tail", [](CList<int, int>& l) {
             EXPECT_EQ(l.RemoveHead(), 1);
             EXPECT_EQ(l.RemoveTail(), 3);
         }, {2}},
        {"set at", [](CList<int, int>& l) { l.SetAt(l.FindIndex(2), 7); }, {1, 2, 7}},
        {"add a list to itself at the tail", [](CList<int, int>& l) { l.AddTail(&l); }, {1, 2, 3, 1, 2, 3}},
        {"add a list to itself at the head", [](CList<int, int>& l) { l.AddHead(&l); }, {1, 2, 3, 1, 2, 3}},
        {"remove while walking", [](CList<int, int>& l) {
             for (POSITION pos = l.GetHeadPosition(); pos;) {
                 POSITION current = pos;
                 if (l.GetNext(pos) != 2)
                     l.RemoveAt(current);
             }
         }, {2}},
        {"remove all", [](CList<int, int>& l) { l.RemoveAll(); }, {}},
    };
    for (const Case& c : cases) {
        CList<int, int> list;
        list.AddTail(1);
        list.AddTail(2);
        list.AddTail(3);
        c.op(list);
        EXPECT_EQ(Forward(list), c.expected) << c.name;
        std::vector<int> reversed(c.expected.rbegin(), c.expected.rend());
        EXPECT_EQ(Backward(list), reversed) << c.name;
        EXPECT_EQ(list.GetCount(), static_cast<INT_PTR>(c.expected.size())) << c.name;
    }
}

TEST(List, StringListCopiesAreIndependent)
{
    CStringList list;
    list.AddTail("one");
    list.AddTail(CString("two"));
    CStringList copy(list);
    copy.GetHead() = "changed";
    EXPECT_EQ(Strings(Forward(list)), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Strings(Forward(copy)), (std::vector<std::string>{"changed", "two"}));
    EXPECT_NE(list.Find("two"), nullptr);
    EXPECT_EQ(list.Find("three"), nullptr);
}

TEST(ListDeathTest, EmptyListAndNullPositionStop)
{
    CList<int, int> list;
    EXPECT_DEATH(list.GetHead(), "empty list");
    EXPECT_DEATH(list.RemoveTail(), "empty list");
    POSITION pos = nullptr;
    EXPECT_DEATH(list.GetNext(pos), "NULL position");
}

// ---- CMap -------------------------------------------------------------------

TEST(Map, LookupSetRemove)
{
    CMap<UINT, UINT, int, int> map;
    int value = -1;
    EXPECT_FALSE(map.Lookup(5, value));
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    EXPECT_EQ(map[5], 0); // new values start at zero
    map.SetAt(5, 50);
    map[6] = 60;
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_TRUE(map.Lookup(5, value));
    EXPECT_EQ(value, 50);
    EXPECT_TRUE(map.RemoveKey(5));
    EXPECT_FALSE(map.RemoveKey(5));
    EXPECT_FALSE(map.Lookup(5, value));
    EXPECT_EQ(map.GetCount(), 1);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_FALSE(map.RemoveKey(6));
}

TEST(Map, IntegerKeysWalkBucketsInOrderNewestFirst)
{
    // Buckets are (key >> 4) % 17 in ascending order; within a bucket the
    // latest insertion comes first.
    struct Case {
        const char* name;
        std::vector<UINT> inserted;
        std::vector<UINT> walked;
        UINT tableSize;
    };
    const Case cases[] = {
        {"one bucket each", {48, 16, 32}, {16, 32, 48}, 17},
        {"same bucket, newest first", {1, 17, 16, 24, 300}, {1, 300, 24, 16, 17}, 17},
        {"icon widths 24 then 16", {24, 16}, {16, 24}, 17},
        {"icon widths 16 then 24", {16, 24}, {24, 16}, 17},
        {"wraps around the table", {272, 1, 16}, {1, 272, 16}, 17},
        {"command ids", {32872, 32878, 57600, 35000}, {35000, 57600, 32878, 32872}, 17},
        {"larger table", {272, 1, 16}, {1, 16, 272}, 257},
    };
    for (const Case& c : cases) {
        CMap<UINT, UINT, BOOL, BOOL> map;
        if (c.tableSize != CMap<UINT, UINT, BOOL, BOOL>::kDefaultHashTableSize)
            map.InitHashTable(c.tableSize);
        EXPECT_EQ(map.GetHashTableSize(), c.tableSize) << c.name;
        for (UINT key : c.inserted)
            map[key] = TRUE;
        map[c.inserted.front()] = FALSE; // setting an existing key does not move it
        EXPECT_EQ(KeysInOrder(map), c.walked) << c.name;
    }
}

TEST(Map, KeyHashes)
{
    EXPECT_EQ(HashKey<UINT>(24), 1u);
    EXPECT_EQ(HashKey<int>(-1), 0x0FFFFFFFu); // as a 32-bit value
    EXPECT_EQ(HashKey<void*>(reinterpret_cast<void*>(0x1230)), 0x123u);
    EXPECT_EQ(HashKey<const char*>("ab"), 97u * 33 + 98);
    EXPECT_EQ(HashKey<const char*>(""), 0u);
    // Bytes of Chinese text count as signed chars, as the original string hash did.
    EXPECT_EQ(HashKey<const char*>("\xB0\xA1"), 4294964561u);
    EXPECT_EQ(HashKey<const CString&>(CString("\xB0\xA1")), 4294964561u);
}

TEST(Map, RemovingTheCurrentKeyWhileWalking)
{
    CMap<UINT, UINT, UINT, UINT> map;
    for (UINT key = 0; key < 200; key += 3)
        map[key] = key * 2;
    INT_PTR seen = 0;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        UINT key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(value, key * 2);
        if (key % 2 == 0)
            map.RemoveKey(key);
        ++seen;
    }
    EXPECT_EQ(seen, 67);
    EXPECT_EQ(map.GetCount(), 33);
    for (UINT key : KeysInOrder(map))
        EXPECT_EQ(key % 2, 1u);
}

TEST(Map, CopyAndRehashKeepEveryKey)
{
    CMap<UINT, UINT, UINT, UINT> map;
    for (UINT key = 0; key < 100; ++key)
        map[key * 7] = key;
    CMap<UINT, UINT, UINT, UINT> copy(map);
    EXPECT_EQ(KeysInOrder(copy), KeysInOrder(map));
    map.InitHashTable(31);
    EXPECT_EQ(map.GetHashTableSize(), 31u);
    EXPECT_EQ(map.GetCount(), 100);
    for (UINT key = 0; key < 100; ++key) {
        UINT value = 0;
        ASSERT_TRUE(map.Lookup(key * 7, value));
        EXPECT_EQ(value, key);
    }
}

TEST(Map, PointerKeys)
{
    CMapPtrToPtr map;
    auto* a = reinterpret_cast<void*>(0x100); // bucket 16
    auto* b = reinterpret_cast<void*>(0x20);  // bucket 2
    map[a] = b;
    map[b] = a;
    EXPECT_EQ(KeysInOrder(map), (std::vector<void*>{b, a}));
    void* value = nullptr;
    EXPECT_TRUE(map.Lookup(a, value));
    EXPECT_EQ(value, b);

    CMapWordToPtr words;
    words[WORD(0x20)] = a;
    words[WORD(0x10)] = b;
    EXPECT_EQ(KeysInOrder(words), (std::vector<WORD>{0x10, 0x20}));
}

TEST(Map, StringKeys)
{
    CMapStringToString map;
    map["a"] = "1";
    map.SetAt("b", "2");
    map.SetAt(CString("ab"), CString("3"));
    map["\xB0\xA1"] = "4";
    // "ab" hashes to bucket 1, the Chinese key to 3, "a" to 12 and "b" to 13.
    EXPECT_EQ(Strings(KeysInOrder(map)), (std::vector<std::string>{"ab", "\xB0\xA1", "a", "b"}));
    CString value;
    EXPECT_TRUE(map.Lookup(CString("ab"), value));
    EXPECT_STREQ(value, "3");
    EXPECT_FALSE(map.Lookup("AB", value)); // case matters
    EXPECT_TRUE(map.RemoveKey("a"));
    EXPECT_EQ(map.GetCount(), 3);

    CMapStringToPtr ptrs;
    int x = 0;
    ptrs.SetAt("x", &x);
    void* p = nullptr;
    EXPECT_TRUE(ptrs.Lookup("x", p));
    EXPECT_EQ(p, &x);
}
