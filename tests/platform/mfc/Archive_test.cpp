// Archives over memory files and real files: every operator both ways, the
// string and count prefixes, class tags with schema numbers, references to
// objects already stored, and short or damaged streams failing with the
// right cause.
#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

// Serial classes are registered by name for the whole program, so they
// live outside the anonymous namespace.
class CArNode : public CObject {
    DECLARE_SERIAL(CArNode)
public:
    CString m_name;
    LONG m_value = 0;
    CArNode* m_pNext = nullptr; // not owned
    UINT m_loadedSchema = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_name << m_value << static_cast<CObject*>(m_pNext);
        } else {
            m_loadedSchema = ar.GetObjectSchema();
            CObject* next = nullptr;
            ar >> m_name >> m_value >> next;
            m_pNext = static_cast<CArNode*>(next);
        }
    }
};
IMPLEMENT_SERIAL(CArNode, CObject, 2)

// A class whose loader takes every stored schema.
class CArVersioned : public CObject {
    DECLARE_SERIAL(CArVersioned)
public:
    UINT m_loadedSchema = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading())
            m_loadedSchema = ar.GetObjectSchema();
    }
};
IMPLEMENT_SERIAL(CArVersioned, CObject, VERSIONABLE_SCHEMA | 5)

class CArPlain : public CObject {
    DECLARE_DYNCREATE(CArPlain)
};
IMPLEMENT_DYNCREATE(CArPlain, CObject)

namespace {

std::vector<BYTE> Bytes(CMemFile& file)
{
    std::vector<BYTE> out(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(out.data(), static_cast<UINT>(out.size()));
    return out;
}

// Stores with `store`, then loads the bytes with `load`.
template <typename Store>
std::vector<BYTE> Stored(Store store, int bufSize = 4096)
{
    CMemFile file(16);
    {
        CArchive ar(&file, CArchive::store, bufSize);
        store(ar);
        ar.Close();
    }
    return Bytes(file);
}

int CauseOf(const std::vector<BYTE>& bytes, void (*load)(CArchive&))
{
    std::vector<BYTE> copy = bytes;
    CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
    CArchive ar(&file, CArchive::load);
    try {
        load(ar);
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return CArchiveException::none;
}

} // namespace

TEST(Archive, EveryOperatorRoundTripsInLittleEndian)
{
    auto bytes = Stored([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<LONG>(-2)
           << static_cast<DWORD>(0xDEADBEEF) << 1.5f << 2.25 << static_cast<LONGLONG>(-3)
           << static_cast<ULONGLONG>(0x0102030405060708ULL) << 7 << static_cast<short>(-9) << 'x'
           << static_cast<signed char>(-1) << true << 10u;
    });
    ASSERT_EQ(bytes.size(), 1u + 2 + 4 + 4 + 4 + 8 + 8 + 8 + 4 + 2 + 1 + 1 + 1 + 4);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    BYTE by;
    WORD w;
    LONG l;
    DWORD dw;
    float f;
    double d;
    LONGLONG ll;
    ULONGLONG ull;
    int i;
    short s;
    char ch;
    signed char sc;
    bool b;
    unsigned u;
    ar >> by >> w >> l >> dw >> f >> d >> ll >> ull >> i >> s >> ch >> sc >> b >> u;
    EXPECT_EQ(by, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(dw, 0xDEADBEEFu);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, 2.25);
    EXPECT_EQ(ll, -3);
    EXPECT_EQ(ull, 0x0102030405060708ULL);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(s, -9);
    EXPECT_EQ(ch, 'x');
    EXPECT_EQ(sc, -1);
    EXPECT_TRUE(b);
    EXPECT_EQ(u, 10u);
    EXPECT_TRUE(ar.IsBufferEmpty());
}

TEST(Archive, StringsAndCountsCarryTheirLengthPrefixes)
{
    struct Case {
        int length;
        std::vector<BYTE> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        CString text('g', c.length);
        auto bytes = Stored([&](CArchive& ar) { ar << text; }, 128);
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.begin() + c.prefix.size()), c.prefix) << c.length;
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load, 128);
        CString back;
        ar >> back;
        EXPECT_TRUE(back == text) << c.length;
    }

    const DWORD_PTR counts[] = {0, 0xFFFE, 0xFFFF, 0x12345678};
    for (DWORD_PTR n : counts) {
        auto bytes = Stored([&](CArchive& ar) { ar.WriteCount(n); });
        EXPECT_EQ(bytes.size(), n < 0xFFFF ? 2u : 6u);
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        EXPECT_EQ(ar.ReadCount(), n);
    }
}

TEST(Archive, ObjectsCarryClassTagsSchemaAndSharedReferences)
{
    CArNode a, b;
    a.m_name = "甲";
    a.m_value = 1;
    b.m_name = "乙";
    b.m_value = 2;
    a.m_pNext = &b;
    b.m_pNext = &a; // a cycle: the second mention of a is a tag
    auto bytes = Stored([&](CArchive& ar) {
        ar << static_cast<CObject*>(&a) << static_cast<CObject*>(&b) << static_cast<CObject*>(nullptr);
    });
    // New class tag, schema 2, the name.
    ASSERT_GE(bytes.size(), 6u + 7);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes[4], 7);
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 13), "CArNode");

    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    CArNode* first = nullptr;
    CObject* second = nullptr;
    CObject* none = reinterpret_cast<CObject*>(1);
    ar >> first >> second >> none;
    std::unique_ptr<CArNode> own1(first);
    std::unique_ptr<CArNode> own2(first ? first->m_pNext : nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->m_name == "甲");
    EXPECT_EQ(first->m_loadedSchema, 2u);
    ASSERT_NE(first->m_pNext, nullptr);
    EXPECT_TRUE(first->m_pNext->m_name == "乙");
    EXPECT_EQ(first->m_pNext->m_pNext, first);
    EXPECT_EQ(second, first->m_pNext);
    EXPECT_EQ(none, nullptr);
}

TEST(Archive, ClassesAreWrittenOnceAndReadBack)
{
    auto bytes = Stored([](CArchive& ar) {
        ar.WriteClass(RUNTIME_CLASS(CArNode));
        ar.WriteClass(RUNTIME_CLASS(CArVersioned));
        ar.WriteClass(RUNTIME_CLASS(CArNode));
    });
    // The third is a class tag: 0x8000 | index 1.
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[bytes.size() - 2], 0x01);
    EXPECT_EQ(bytes[bytes.size() - 1], 0x80);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    UINT schema = 0;
    EXPECT_EQ(ar.ReadClass(nullptr, &schema), RUNTIME_CLASS(CArNode));
    EXPECT_EQ(schema, 2u);
    EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CObject), &schema), RUNTIME_CLASS(CArVersioned));
    EXPECT_EQ(schema, 5u);
    EXPECT_EQ(ar.ReadClass(RUNTIME_CLASS(CArNode)), RUNTIME_CLASS(CArNode));
}

TEST(Archive, ShortAndDamagedStreamsFailWithTheirCause)
{
    CArNode node;
    node.m_name = "a longer name";
    node.m_value = 42;
    const auto good = Stored([&](CArchive& ar) { ar << static_cast<CObject*>(&node); });
    auto loadNode = [](CArchive& ar) {
        CArNode* p = nullptr;
        ar >> p;
        delete p;
    };

    // Every truncation ends the file early; the half-read object is freed (ASan).
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(CauseOf(std::vector<BYTE>(good.begin(), good.begin() + n), loadNode), CArchiveException::endOfFile)
            << n;
    EXPECT_EQ(CauseOf(good, loadNode), CArchiveException::none);

    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        int cause;
    };
    std::vector<BYTE> unknownName = good;
    unknownName[6] = 'X';
    std::vector<BYTE> otherSchema = good;
    otherSchema[2] = 3;
    std::vector<BYTE> hugeString = good;
    hugeString[13] = 0xFF; // the text claims more bytes than follow
    const Case cases[] = {
        {"unknown class", unknownName, CArchiveException::badClass},
        {"other schema", otherSchema, CArchiveException::badSchema},
        {"class tag never defined", {0x05, 0x80}, CArchiveException::badIndex},
        {"object tag never defined", {0x03, 0x00}, CArchiveException::badIndex},
        {"big tag beyond the map", {0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80}, CArchiveException::badIndex},
        {"empty class name", {0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00}, CArchiveException::badClass},
        {"overlong class name", {0xFF, 0xFF, 0x02, 0x00, 0xFF, 0xFF}, CArchiveException::badClass},
        {"string longer than the stream", hugeString, CArchiveException::endOfFile},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CauseOf(c.bytes, loadNode), c.cause) << c.what;

    // A class that is not the one asked for.
    const auto versioned = Stored([](CArchive& ar) {
        CArVersioned v;
        ar << static_cast<CObject*>(&v);
    });
    EXPECT_EQ(CauseOf(versioned, loadNode), CArchiveException::badClass);
    // Writing a class that is not serial.
    CMemFile sink;
    CArchive out(&sink, CArchive::store);
    CArPlain plain;
    try {
        out << static_cast<CObject*>(&plain);
        ADD_FAILURE() << "stored a class that is not serial";
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::badClass);
        e->Delete();
    }
}

TEST(Archive, WrongDirectionAndRefusedWritesThrow)
{
    CMemFile file;
    CArchive in(&file, CArchive::load);
    try {
        in << 1;
        ADD_FAILURE();
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::readOnly);
        e->Delete();
    }
    // A fixed block that cannot grow refuses the flush.
    BYTE block[4];
    CMemFile fixed(block, sizeof block);
    CArchive out(&fixed, CArchive::store);
    out << static_cast<LONGLONG>(1);
    try {
        out.Flush();
        ADD_FAILURE();
    } catch (CArchiveException* e) {
        EXPECT_EQ(e->m_cause, CArchiveException::genericException);
        e->Delete();
    }
    out.Abort();
}

TEST(Archive, RealFilesRoundTripThroughTheBuffer)
{
    tavrin::test::TempDir dir;
    std::string path = (dir.Path() / "state.bin").string();
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store, 128);
        for (int i = 0; i < 1000; ++i)
            ar << i;
        ar << CString("end");
        ar.Close();
        EXPECT_EQ(ar.GetFile(), nullptr);
        file.Close();
    }
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load, 128);
    for (int i = 0; i < 1000; ++i) {
        int v = -1;
        ar >> v;
        ASSERT_EQ(v, i);
    }
    CString end;
    ar >> end;
    EXPECT_TRUE(end == "end");
    BYTE extra;
    EXPECT_EQ(ar.Read(&extra, 1), 0u);
}

TEST(MemFile, GrowsByItsStepAndAttachesAndDetaches)
{
    CMemFile file(100);
    BYTE data[250] = {};
    ASSERT_TRUE(file.Write(data, 250));
    EXPECT_EQ(file.GetLength(), 250u);
    EXPECT_EQ(file.GetBufferSize(), 300u);
    // A write after a seek past the end fills the gap with zeros.
    file.Seek(10, CFile::end);
    BYTE one = 7;
    ASSERT_TRUE(file.Write(&one, 1));
    EXPECT_EQ(file.GetLength(), 261u);
    BYTE* block = file.Detach();
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(block[255], 0);
    EXPECT_EQ(block[260], 7);
    std::free(block);

    // An attached fixed block: readable, writable in place, never grown.
    BYTE mine[4] = {1, 2, 3, 4};
    file.Attach(mine, sizeof mine);
    EXPECT_EQ(file.GetLength(), 4u);
    BYTE two = 9;
    file.Seek(1, CFile::begin);
    EXPECT_TRUE(file.Write(&two, 1));
    EXPECT_EQ(mine[1], 9);
    file.SeekToEnd();
    EXPECT_FALSE(file.Write(&two, 1));
    EXPECT_EQ(file.Detach(), mine);

    // An attached block with a step: the file moves to its own block and
    // leaves the caller's alone.
    BYTE room[2] = {5, 5};
    file.Attach(room, sizeof room, 8);
    EXPECT_EQ(file.GetLength(), 0u);
    BYTE three[3] = {1, 2, 3};
    EXPECT_TRUE(file.Write(three, 3));
    EXPECT_EQ(room[0], 5);
    EXPECT_EQ(file.GetLength(), 3u);
    EXPECT_EQ(file.Seek(-1, CFile::begin), static_cast<ULONGLONG>(-1));
}
