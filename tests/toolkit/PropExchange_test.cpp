#include "toolkit/commandbars/XTPPropExchange.h"

#include "tests/support/TempDir.h"
#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kKey = "Software\\Tavrin\\PropTest";

// Every kind the exchanges know, with and without a default.
struct Values {
    short i2 = 0;
    LONG i4 = 0;
    float r4 = 0;
    double r8 = 0;
    LONG cy[2] = {0, 0};
    CString bstr;
    BOOL b = FALSE;
    BYTE ui1 = 0;
    CString lpstr;
    CRect rect;
    CSize size;
};

Values Sample()
{
    Values v;
    v.i2 = -1234;
    v.i4 = 70000;
    v.r4 = 1.5f;
    v.r8 = -2.25;
    v.cy[0] = 7;
    v.cy[1] = 8;
    v.bstr = "bstr";
    v.b = TRUE;
    v.ui1 = 200;
    v.lpstr = "text";
    v.rect = CRect(1, 2, 3, 4);
    v.size = CSize(5, 6);
    return v;
}

// The exchange of a Values record; defaults are the empty record's own.
void Exchange(CXTPPropExchange* px, Values& v, bool withDefaults)
{
    static const Values d;
    static const CString emptyText;
    auto def = [&](const void* p) { return withDefaults ? p : nullptr; };
    px->ExchangeProp("I2", VT_I2, &v.i2, def(&d.i2));
    px->ExchangeProp("I4", VT_I4, &v.i4, def(&d.i4));
    px->ExchangeProp("R4", VT_R4, &v.r4, def(&d.r4));
    px->ExchangeProp("R8", VT_R8, &v.r8, def(&d.r8));
    px->ExchangeProp("CY", VT_CY, &v.cy, def(&d.cy));
    px->ExchangeProp("BSTR", VT_BSTR, &v.bstr, def(&emptyText));
    px->ExchangeProp("BOOL", VT_BOOL, &v.b, def(&d.b));
    px->ExchangeProp("UI1", VT_UI1, &v.ui1, def(&d.ui1));
    px->ExchangeProp("LPSTR", VT_LPSTR, &v.lpstr, def(""));
    px->ExchangeProp("Rect", VT_EX_RECT, &v.rect, def(&d.rect));
    px->ExchangeProp("Size", VT_EX_SIZE, &v.size, def(&d.size));
}

void ExpectSame(const Values& a, const Values& b, bool withCy, const std::string& where)
{
    SCOPED_TRACE(where);
    EXPECT_EQ(a.i2, b.i2);
    EXPECT_EQ(a.i4, b.i4);
    EXPECT_EQ(a.r4, b.r4);
    EXPECT_EQ(a.r8, b.r8);
    if (withCy) {
        EXPECT_EQ(a.cy[0], b.cy[0]);
        EXPECT_EQ(a.cy[1], b.cy[1]);
    }
    EXPECT_STREQ(a.bstr, b.bstr);
    EXPECT_EQ(a.b, b.b);
    EXPECT_EQ(a.ui1, b.ui1);
    EXPECT_STREQ(a.lpstr, b.lpstr);
    EXPECT_EQ(a.rect, b.rect);
    EXPECT_EQ(a.size, b.size);
}

// The two exchanges behind one interface: storing, then loading back.
class Medium {
public:
    virtual ~Medium() = default;
    virtual std::string Name() const = 0;
    virtual std::unique_ptr<CXTPPropExchange> Storing() = 0;
    virtual void Done() {}
    virtual std::unique_ptr<CXTPPropExchange> Loading() = 0;
    virtual bool KeepsCurrency() const = 0;
};

class RegistryMedium : public Medium {
public:
    std::string Name() const override { return "registry"; }
    std::unique_ptr<CXTPPropExchange> Storing() override
    {
        return std::make_unique<CXTPPropExchangeRegistry>(FALSE, HKEY_CURRENT_USER, kKey);
    }
    std::unique_ptr<CXTPPropExchange> Loading() override
    {
        return std::make_unique<CXTPPropExchangeRegistry>(TRUE, HKEY_CURRENT_USER, kKey);
    }
    bool KeepsCurrency() const override { return false; }
};

// An archive over a real file, or over a memory file.
class ArchiveMedium : public Medium {
public:
    explicit ArchiveMedium(std::string path) : m_path(std::move(path)) {}
    std::string Name() const override { return m_path.empty() ? "memory archive" : "file archive"; }
    std::unique_ptr<CXTPPropExchange> Storing() override
    {
        m_archive.reset();
        m_file.reset(m_path.empty() ? new CMemFile : OpenFile(CFile::modeCreate | CFile::modeWrite));
        m_archive = std::make_unique<CArchive>(m_file.get(), CArchive::store);
        return std::make_unique<CXTPPropExchangeArchive>(*m_archive);
    }
    void Done() override
    {
        m_archive->Close();
        m_archive.reset();
        if (m_path.empty()) {
            m_bytes.resize(static_cast<size_t>(m_file->GetLength()));
            m_file->SeekToBegin();
            m_file->Read(m_bytes.data(), static_cast<UINT>(m_bytes.size()));
        }
        m_file.reset();
    }
    std::unique_ptr<CXTPPropExchange> Loading() override
    {
        if (m_path.empty())
            m_file.reset(new CMemFile(m_bytes.data(), static_cast<UINT>(m_bytes.size())));
        else
            m_file.reset(OpenFile(CFile::modeRead));
        m_archive = std::make_unique<CArchive>(m_file.get(), CArchive::load);
        return std::make_unique<CXTPPropExchangeArchive>(*m_archive);
    }
    bool KeepsCurrency() const override { return true; }
    ~ArchiveMedium() override
    {
        if (m_archive)
            m_archive->Abort();
    }

private:
    CFile* OpenFile(UINT flags)
    {
        auto* file = new CFile;
        EXPECT_TRUE(file->Open(m_path.c_str(), flags)) << m_path;
        return file;
    }

    std::string m_path;
    std::vector<BYTE> m_bytes;
    std::unique_ptr<CFile> m_file;
    std::unique_ptr<CArchive> m_archive;
};

class PropExchangeTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_config = std::make_unique<tavrin::test::UserConfigScope>();
    }
    void TearDown() override
    {
        m_config.reset();
        ToolkitTest::TearDown();
    }
    std::vector<std::unique_ptr<Medium>> Media()
    {
        std::vector<std::unique_ptr<Medium>> media;
        media.push_back(std::make_unique<RegistryMedium>());
        media.push_back(std::make_unique<ArchiveMedium>((m_config->Dir().Path() / "values.bin").string()));
        media.push_back(std::make_unique<ArchiveMedium>(""));
        return media;
    }
    static bool ValueExists(const char* name, DWORD* type = nullptr, DWORD* size = nullptr)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD t = 0, s = 0;
        bool found = RegQueryValueExA(key, name, nullptr, &t, nullptr, &s) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (type)
            *type = t;
        if (size)
            *size = s;
        return found;
    }
    static std::string Text(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        char buffer[256] = {};
        DWORD size = sizeof buffer - 1;
        LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? buffer : "<missing>";
    }
    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::unique_ptr<tavrin::test::UserConfigScope> m_config;
};

} // namespace

TEST_F(PropExchangeTest, EveryKindRoundTripsThroughBothExchanges)
{
    for (auto& medium : Media()) {
        for (bool withDefaults : {false, true}) {
            std::string where = medium->Name() + (withDefaults ? " with defaults" : " without defaults");
            Values stored = Sample();
            {
                auto px = medium->Storing();
                Exchange(px.get(), stored, withDefaults);
            }
            medium->Done();
            Values loaded;
            {
                auto px = medium->Loading();
                Exchange(px.get(), loaded, withDefaults);
            }
            ExpectSame(loaded, stored, medium->KeepsCurrency(), where);

            // Defaults: the archive writes them all the same, the registry deletes them.
            Values empty;
            {
                auto px = medium->Storing();
                Exchange(px.get(), empty, withDefaults);
            }
            medium->Done();
            Values again = Sample();
            {
                auto px = medium->Loading();
                Exchange(px.get(), again, withDefaults);
            }
            ExpectSame(again, Values{}, medium->KeepsCurrency(), where + ", default values");
            if (!medium->KeepsCurrency()) {
                EXPECT_EQ(ValueExists("I4"), !withDefaults) << where;
            }
        }
    }
}

TEST_F(PropExchangeTest, RegistryForms)
{
    Values v = Sample();
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kKey);
        Exchange(&px, v, true);
        LONG cy[2] = {1, 2};
        EXPECT_FALSE(px.ExchangeProp("CY", VT_CY, cy, nullptr)) << "no registry form";
        EXPECT_FALSE(px.ExchangeProp("X", 77, cy, nullptr));
    }
    EXPECT_EQ(Text("Rect"), "1, 2, 3, 4");
    EXPECT_EQ(Text("Size"), "5, 6");
    DWORD type = 0, size = 0;
    ASSERT_TRUE(ValueExists("I2", &type, &size));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(size, 2u);
    ASSERT_TRUE(ValueExists("UI1", &type, &size));
    EXPECT_EQ(size, 1u);
    ASSERT_TRUE(ValueExists("R8", &type, &size));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(size, 8u);
    ASSERT_TRUE(ValueExists("LPSTR", &type, &size));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 5u) << "with its terminating zero";
}

TEST_F(PropExchangeTest, RegistryLoadsWithinWhatIsStored)
{
    // A 1-byte value leaves no stale bytes of the 4-byte query.
    BYTE one = 0x12;
    SetRaw("I4", REG_DWORD, &one, 1);
    SetRaw("Short", REG_DWORD, &one, 1);
    // A text without its terminating zero ends where it is stored.
    SetRaw("Text", REG_SZ, "abcdef", 3);
    SetRaw("Rect3", REG_SZ, "1, 2, 3", 8);
    SetRaw("Big", REG_BINARY, "12345678", 8);
    CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kKey);
    LONG i4 = -1;
    EXPECT_TRUE(px.ExchangeProp("I4", VT_I4, &i4, nullptr));
    EXPECT_EQ(i4, 0x12);
    short i2 = -1;
    EXPECT_TRUE(px.ExchangeProp("Short", VT_I2, &i2, nullptr));
    EXPECT_EQ(i2, 0x12);
    CString text;
    EXPECT_TRUE(PX_String(&px, "Text", text, "default"));
    EXPECT_STREQ(text, "abc");
    CRect rect(0, 0, 0, 0);
    PX_Rect(&px, "Rect3", rect, CRect(9, 9, 9, 9));
    EXPECT_EQ(rect, CRect(9, 9, 9, 9)) << "three numbers load the default";
    LONG big = 5;
    EXPECT_TRUE(PX_Long(&px, "Big", big, 77));
    EXPECT_EQ(big, 77) << "a value larger than 4 bytes loads the default";
    LONG missing = 5;
    EXPECT_FALSE(px.ExchangeProp("Missing", VT_I4, &missing, nullptr));
    EXPECT_EQ(missing, 5);
    px.UseDefaultOnLoad(FALSE);
    EXPECT_FALSE(PX_Long(&px, "Missing", missing, 77));
    EXPECT_EQ(missing, 5);
}

TEST_F(PropExchangeTest, RegistryWithoutAKeyGivesDefaults)
{
    CXTPPropExchangeRegistry px(TRUE, nullptr, "Nowhere");
    CString text("old");
    PX_String(&px, "Text", text, "default");
    EXPECT_STREQ(text, "default");
    CSize size(1, 1);
    EXPECT_FALSE(PX_Size(&px, "Size", size, CSize(3, 4))) << "sizes copy the default and say FALSE";
    EXPECT_EQ(size, CSize(3, 4));
    CXTPPropExchangeRegistry store(FALSE, nullptr, "Nowhere");
    LONG value = 1;
    EXPECT_FALSE(PX_Long(&store, "Value", value, 0));
}

TEST_F(PropExchangeTest, EmptySectionDeletesTheKeyAndWritesNoDefaults)
{
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kKey);
        LONG a = 1, b = 2;
        PX_Long(&px, "A", a, 0);
        PX_Long(&px, "B", b, 0);
        std::unique_ptr<CXTPPropExchange> child(px.GetSection("Child"));
        PX_Long(child.get(), "C", a, 0);
    }
    ASSERT_TRUE(ValueExists("A"));
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kKey);
        LONG a = 0;
        PX_Long(&px, "A", a, 0);
        EXPECT_FALSE(ValueExists("A")) << "a default deletes the value";
        EXPECT_TRUE(ValueExists("B"));
        px.EmptySection();
        EXPECT_FALSE(ValueExists("B"));
        LONG b = 3;
        PX_Long(&px, "B", b, 0);
        PX_Long(&px, "A", a, 0);
    }
    EXPECT_TRUE(ValueExists("B"));
    EXPECT_FALSE(ValueExists("A"));
    HKEY child = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\Child").c_str(), 0, KEY_READ, &child),
              ERROR_SUCCESS);
}

TEST_F(PropExchangeTest, BaseBlobEncoding)
{
    // The base blob form, over an exchange with no blob storage of its own.
    class TextOnly : public CXTPPropExchangeRegistry {
    public:
        using CXTPPropExchangeRegistry::CXTPPropExchangeRegistry;
        BOOL ExchangeBlob(LPCTSTR name, BYTE** data, DWORD* size) override
        {
            return CXTPPropExchange::ExchangeBlob(name, data, size);
        }
    };
    {
        TextOnly px(FALSE, HKEY_CURRENT_USER, kKey);
        BYTE bytes[] = {0x12, 0xAB};
        BYTE* data = bytes;
        DWORD size = 2;
        EXPECT_TRUE(px.ExchangeBlob("Blob", &data, &size));
        DWORD none = 0;
        EXPECT_TRUE(px.ExchangeBlob("Empty", &data, &none));
    }
    EXPECT_EQ(Text("Blob"), "CBLK");
    EXPECT_FALSE(ValueExists("Empty")) << "an empty block leaves no value";
    SetRaw("Odd", REG_SZ, "CBL", 4);
    SetRaw("Bad", REG_SZ, "CZ", 3);
    TextOnly px(TRUE, HKEY_CURRENT_USER, kKey);
    BYTE* data = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(px.ExchangeBlob("Blob", &data, &size));
    ASSERT_EQ(size, 2u);
    EXPECT_EQ(data[0], 0x12);
    EXPECT_EQ(data[1], 0xAB);
    delete[] data;
    BYTE small[1];
    data = small;
    size = 1;
    EXPECT_FALSE(px.ExchangeBlob("Blob", &data, &size)) << "a buffer too small";
    EXPECT_FALSE(px.ExchangeBlob("Odd", &data, &size));
    EXPECT_FALSE(px.ExchangeBlob("Bad", &data, &size));
}

TEST_F(PropExchangeTest, BlobsAndCounts)
{
    for (auto& medium : Media()) {
        SCOPED_TRACE(medium->Name());
        BYTE bytes[300];
        for (int i = 0; i < 300; ++i)
            bytes[i] = static_cast<BYTE>(i * 7);
        {
            auto px = medium->Storing();
            BYTE* data = bytes;
            DWORD size = sizeof bytes;
            EXPECT_TRUE(px->ExchangeBlob("Blob", &data, &size));
            px->WriteCount(70000);
            px->Write("Raw", bytes, 5);
        }
        medium->Done();
        auto px = medium->Loading();
        BYTE* data = nullptr;
        DWORD size = 0;
        ASSERT_TRUE(px->ExchangeBlob("Blob", &data, &size));
        ASSERT_EQ(size, 300u);
        EXPECT_EQ(std::memcmp(data, bytes, 300), 0);
        delete[] data;
        EXPECT_EQ(px->ReadCount(), 70000u);
        BYTE raw[5] = {};
        EXPECT_EQ(px->Read("Raw", raw, 5), 5u);
        EXPECT_EQ(std::memcmp(raw, bytes, 5), 0);
    }
}

TEST_F(PropExchangeTest, ArchiveBlobLongerThanTheStreamFails)
{
    ArchiveMedium medium("");
    {
        auto px = medium.Storing();
        DWORD big = 0x7FFFFFFF;
        px->WriteCount(big);
        px->Write("", "abc", 3);
    }
    medium.Done();
    auto px = medium.Loading();
    BYTE* data = nullptr;
    DWORD size = 0;
    EXPECT_FALSE(px->ExchangeBlob("Blob", &data, &size));
    EXPECT_EQ(data, nullptr);
}

TEST_F(PropExchangeTest, Enumerators)
{
    for (auto& medium : Media()) {
        SCOPED_TRACE(medium->Name());
        {
            // Each enumerator in a section of its own: the registry keeps one count a key.
            auto px = medium->Storing();
            std::unique_ptr<CXTPPropExchange> empty(px->GetSection("Empty"));
            std::unique_ptr<CXTPPropExchangeEnumerator> none(empty->GetEnumerator("None"));
            EXPECT_EQ(none->GetPosition(0), nullptr);
            std::unique_ptr<CXTPPropExchange> full(px->GetSection("Full"));
            std::unique_ptr<CXTPPropExchangeEnumerator> two(full->GetEnumerator("Control"));
            POSITION pos = two->GetPosition(2);
            for (LONG i = 0; i < 2; ++i) {
                ASSERT_NE(pos, nullptr);
                std::unique_ptr<CXTPPropExchange> section(two->GetNext(pos));
                EXPECT_FALSE(section->IsRootSection());
                LONG value = 10 + i;
                PX_Long(section.get(), "Value", value, 0);
            }
            EXPECT_EQ(pos, nullptr);
        }
        medium->Done();
        auto px = medium->Loading();
        std::unique_ptr<CXTPPropExchange> empty(px->GetSection("Empty"));
        std::unique_ptr<CXTPPropExchangeEnumerator> none(empty->GetEnumerator("None"));
        EXPECT_EQ(none->GetPosition(), nullptr);
        std::unique_ptr<CXTPPropExchange> full(px->GetSection("Full"));
        std::unique_ptr<CXTPPropExchangeEnumerator> two(full->GetEnumerator("Control"));
        POSITION pos = two->GetPosition();
        std::vector<LONG> values;
        while (pos) {
            std::unique_ptr<CXTPPropExchange> section(two->GetNext(pos));
            LONG value = 0;
            PX_Long(section.get(), "Value", value, 0);
            values.push_back(value);
        }
        EXPECT_EQ(values, (std::vector<LONG>{10, 11}));
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kKey) + "\\Full\\Control1").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

namespace proptest {

// Counts constructions, so a refused load can show nothing was made.
class CountedBase : public CObject {
    DECLARE_SERIAL(CountedBase)
public:
    CountedBase() { ++made; }
    static int made;
};
IMPLEMENT_SERIAL(CountedBase, CObject, 1)
int CountedBase::made = 0;

class CountedDerived : public CountedBase {
    DECLARE_SERIAL(CountedDerived)
};
IMPLEMENT_SERIAL(CountedDerived, CountedBase, 1)

class CountedOther : public CObject {
    DECLARE_SERIAL(CountedOther)
public:
    CountedOther() { ++made; }
    static int made;
};
IMPLEMENT_SERIAL(CountedOther, CObject, 1)
int CountedOther::made = 0;

} // namespace proptest

using proptest::CountedBase;
using proptest::CountedDerived;
using proptest::CountedOther;

TEST_F(PropExchangeTest, ObjectInstancesOnlyOfTheExpectedBase)
{
    for (auto& medium : Media()) {
        SCOPED_TRACE(medium->Name());
        {
            auto px = medium->Storing();
            CountedDerived derived;
            CountedOther other;
            CObject* object = &derived;
            EXPECT_TRUE(px->ExchangeObjectInstance(object, RUNTIME_CLASS(CountedBase)));
            std::unique_ptr<CXTPPropExchange> section(px->GetSection("Second"));
            object = &other;
            EXPECT_TRUE(section->ExchangeObjectInstance(object, RUNTIME_CLASS(CObject)));
        }
        medium->Done();
        auto px = medium->Loading();
        CountedBase::made = 0;
        CountedOther::made = 0;
        CObject* object = nullptr;
        ASSERT_TRUE(px->ExchangeObjectInstance(object, RUNTIME_CLASS(CountedBase)));
        EXPECT_TRUE(object->IsKindOf(RUNTIME_CLASS(CountedDerived)));
        EXPECT_EQ(CountedBase::made, 1);
        delete object;
        object = nullptr;
        std::unique_ptr<CXTPPropExchange> section(px->GetSection("Second"));
        EXPECT_FALSE(section->ExchangeObjectInstance(object, RUNTIME_CLASS(CountedBase)));
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(CountedOther::made, 0) << "nothing constructed";
    }
}

TEST_F(PropExchangeTest, RuntimeClassesByName)
{
    {
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, kKey);
        CRuntimeClass* cls = RUNTIME_CLASS(CountedBase);
        EXPECT_TRUE(px.ExchangeRuntimeClass("Default", &cls, RUNTIME_CLASS(CountedBase)));
        cls = RUNTIME_CLASS(CountedDerived);
        EXPECT_TRUE(px.ExchangeRuntimeClass("Derived", &cls, RUNTIME_CLASS(CountedBase)));
    }
    EXPECT_FALSE(ValueExists("Default")) << "the default class leaves no value";
    EXPECT_EQ(Text("Derived"), "CountedDerived");
    SetRaw("Unknown", REG_SZ, "NoSuchClass", 12);
    CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kKey);
    CRuntimeClass* cls = nullptr;
    EXPECT_TRUE(px.ExchangeRuntimeClass("Default", &cls, RUNTIME_CLASS(CountedBase)));
    EXPECT_EQ(cls, RUNTIME_CLASS(CountedBase));
    EXPECT_TRUE(px.ExchangeRuntimeClass("Derived", &cls, RUNTIME_CLASS(CountedBase)));
    EXPECT_EQ(cls, RUNTIME_CLASS(CountedDerived));
    EXPECT_FALSE(px.ExchangeRuntimeClass("Unknown", &cls, RUNTIME_CLASS(CountedBase)));
}

namespace {

class Payload : public CObject {
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << value;
        else
            ar >> value;
    }
    LONG value = 0;
};

} // namespace

TEST_F(PropExchangeTest, SerializeThroughBothExchanges)
{
    for (auto& medium : Media()) {
        SCOPED_TRACE(medium->Name());
        {
            auto px = medium->Storing();
            Payload payload;
            payload.value = 4242;
            EXPECT_TRUE(PX_Serialize(px.get(), "Payload", &payload));
        }
        medium->Done();
        auto px = medium->Loading();
        Payload loaded;
        EXPECT_TRUE(PX_Serialize(px.get(), "Payload", &loaded));
        EXPECT_EQ(loaded.value, 4242);
        Payload missing;
        // The registry has no such blob; the archive is at its end.
        EXPECT_FALSE(PX_Serialize(px.get(), "Missing", &missing));
    }
}

TEST_F(PropExchangeTest, ValueHelpers)
{
    EXPECT_EQ(CXTPPropExchange::GetSizeOfVarType(VT_EX_RECT), 16u);
    EXPECT_EQ(CXTPPropExchange::GetSizeOfVarType(VT_LPSTR), 0u);
    EXPECT_EQ(CXTPPropExchange::GetSizeOfVarType(77), 0u);
    LONG a = 1, b = 1;
    EXPECT_TRUE(CXTPPropExchange::IsSamePropValue(VT_I4, &a, &b));
    EXPECT_FALSE(CXTPPropExchange::IsSamePropValue(VT_I4, &a, nullptr));
    EXPECT_FALSE(CXTPPropExchange::IsSamePropValue(77, &a, &b));
    CRect rect;
    CRect source(1, 2, 3, 4);
    EXPECT_FALSE(CXTPPropExchange::CopyPropValue(VT_EX_RECT, &rect, &source));
    EXPECT_EQ(rect, source);
    EXPECT_FALSE(CXTPPropExchange::CopyPropValue(VT_I4, &a, nullptr));
}
