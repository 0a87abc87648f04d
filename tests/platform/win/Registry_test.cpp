#include "SelfProcess.h"

#include "platform/win/Registry.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/UserFolder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserConfigScope.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using tavrin::test::TempDir;

namespace {

class RegistryTest : public ::testing::Test {
protected:

    HKEY Create(const char* path)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    std::filesystem::path File() const { return m_dir.Path() / "registry"; }

    tavrin::test::UserConfigScope m_scope;
    TempDir& m_dir = m_scope.Dir();
};

std::string Query(HKEY key, const char* name, DWORD* type = nullptr)
{
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return "<missing>";
    std::string out(size, '\0');
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(out.data()), &size), ERROR_SUCCESS);
    out.resize(size);
    return out;
}

} // namespace

TEST_F(RegistryTest, ValuesRoundTripByTypeAndSize)
{
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
    };
    const Case cases[] = {
        {"Text", REG_SZ, std::string("\xcc\xed\xba\xda", 4) + '\0'},
        {"Empty", REG_SZ, std::string(1, '\0')},
        {"Byte", REG_DWORD, std::string("\x07", 1)},
        {"Word", REG_DWORD, std::string("\x34\x12", 2)},
        {"Long", REG_DWORD, std::string("\x78\x56\x34\x12", 4)},
        {"Blob", REG_BINARY, std::string("\x00\x01\xff\x00", 4)},
        {"NoBytes", REG_BINARY, std::string()},
        {"", REG_SZ, std::string("default\0", 8)},
    };
    HKEY key = Create("Software\\Tavrin\\Test\\Section");
    for (const Case& c : cases)
        ASSERT_EQ(RegSetValueExA(key, c.name, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                                 static_cast<DWORD>(c.bytes.size())),
                  ERROR_SUCCESS)
            << c.name;
    RegCloseKey(key);

    // From the file, as a new run would see it.
    tavrin::win::ReloadRegistry();
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\TAVRIN\\test\\section", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const Case& c : cases) {
        DWORD type = 0;
        EXPECT_EQ(Query(key, c.name, &type), c.bytes) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
    // A 2-byte DWORD read through a 4-byte buffer gives its 2 bytes.
    BYTE four[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "Word", nullptr, nullptr, four, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(four[0], 0x34);
    EXPECT_EQ(four[1], 0x12);
    EXPECT_EQ(four[2], 0xAA) << "never more bytes than stored";
    // A null name is the default value.
    EXPECT_EQ(Query(key, nullptr), std::string("default\0", 8));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ShortBuffersMissingValuesAndKeys)
{
    HKEY key = Create("Software\\Tavrin\\Short");
    const char text[] = "0123456789";
    ASSERT_EQ(RegSetValueExA(key, "T", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text), ERROR_SUCCESS);
    char small[4] = {};
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "T", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, "T", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr),
              ERROR_INVALID_PARAMETER);
    HKEY none = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Nowhere", 0, KEY_READ, &none), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none, nullptr);
    // A key opened for reading cannot be written.
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Short", 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(reader, "T", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_ACCESS_DENIED);
    RegCloseKey(reader);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, "T", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    // Other roots hold nothing and take nothing.
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &none), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_WRITE, nullptr, &none, nullptr),
              ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, DeletionOfValuesKeysAndSubtrees)
{
    HKEY app = Create("Software\\Tavrin\\App");
    HKEY bar = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(app, "Bars-Bar0", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &bar, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    DWORD one = 1;
    RegSetValueExA(bar, "BarID", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    HKEY deep = nullptr;
    ASSERT_EQ(RegCreateKeyExA(bar, "Deep\\Deeper", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(deep);

    EXPECT_EQ(RegDeleteValueA(bar, "BarID"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(bar, "BarID"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(app, "Bars-Bar0"), ERROR_ACCESS_DENIED) << "it has subkeys";
    EXPECT_EQ(RegDeleteKeyA(bar, "Deep\\Deeper"), ERROR_SUCCESS);
    EXPECT_EQ(SHDeleteKeyA(app, "Bars-Bar0"), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(SHDeleteKeyA(app, "Bars-Bar0"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A handle of a deleted key fails; creating the key again does not revive
    // stale values.
    EXPECT_EQ(RegSetValueExA(bar, "BarID", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_KEY_DELETED);
    ASSERT_EQ(RegCreateKeyExA(app, "Bars-Bar0", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deep, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(Query(deep, "BarID"), "<missing>");
    // The bar handle names that path again, so it sees the new key.
    EXPECT_EQ(Query(bar, "BarID"), "<missing>");
    RegCloseKey(deep);
    RegCloseKey(bar);
    RegCloseKey(app);
}

TEST_F(RegistryTest, EnumerationOrder)
{
    HKEY key = Create("Software\\Tavrin\\Enum");
    for (const char* name : {"beta", "Alpha", "gamma"}) {
        HKEY sub = nullptr;
        RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
        RegCloseKey(sub);
    }
    for (const char* name : {"z", "a", "m"})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), 2);
    std::vector<std::string> keys, values;
    char name[64];
    for (DWORD i = 0;; ++i) {
        DWORD chars = sizeof name;
        const LONG r = RegEnumKeyExA(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(chars, strlen(name));
        keys.push_back(name);
    }
    for (DWORD i = 0;; ++i) {
        DWORD chars = sizeof name, type = 0, size = 0;
        const LONG r = RegEnumValueA(key, i, name, &chars, nullptr, &type, nullptr, &size);
        if (r == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(r, ERROR_SUCCESS);
        EXPECT_EQ(size, 2u);
        values.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(values, (std::vector<std::string>{"z", "a", "m"}));
    DWORD tiny = 3;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DamagedFilesLoadEmptyAndAreKeptAside)
{
    std::string good;
    {
        tavrin::win::registry::Key root;
        auto& k = root.AddSubkey("Software").AddSubkey("Tavrin");
        k.values.push_back({"Name", REG_SZ, std::string("v\0", 2)});
        good = tavrin::win::registry::Serialize(root);
    }
    std::string hugeCount = good;
    // The root's value count (after the magic and the empty root name).
    hugeCount.replace(12, 4, "\xff\xff\xff\x7f", 4);
    const std::string cases[] = {good.substr(0, good.size() - 3), "garbage, not a registry", hugeCount,
                                 good + "trailing"};
    for (const std::string& bytes : cases) {
        m_dir.Write("registry", bytes);
        std::filesystem::remove(m_dir.Path() / "registry.damaged");
        tavrin::win::ReloadRegistry();
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(TempDir::Read(m_dir.Path() / "registry.damaged"), bytes);
        // Writing works again from the empty tree.
        key = Create("Software\\Tavrin");
        EXPECT_NE(key, nullptr);
        RegCloseKey(key);
    }
    m_dir.Write("registry", good);
    tavrin::win::ReloadRegistry();
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "Name"), std::string("v\0", 2));
    RegCloseKey(key);
}

TEST_F(RegistryTest, UnreadableFileIsNeverReplaced)
{
    // A "registry" that exists but cannot be read as a file.
    m_dir.Write("registry/inside", "kept");
    tavrin::win::ReloadRegistry();
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(TempDir::Read(File() / "inside"), "kept");
}

TEST_F(RegistryTest, FailedWriteIsUndone)
{
    // The folder cannot be made: its parent is a file.
    m_dir.Write("plain", "x");
    tavrin::win::SetUserConfigFolder((m_dir.Path() / "plain" / "config").string());
    HKEY key = nullptr;
    EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
        << "the failed change is undone";
}

TEST_F(RegistryTest, SecondProcessReadsWhatTheFirstWrote)
{
    HKEY key = Create("Software\\Tavrin\\Shared");
    const DWORD value = 0x1234;
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
    tavrin::test::ChildProcess child;
    ASSERT_TRUE(tavrin::test::StartSelf(child, "RegistryChild.PrintsTheSharedNumber",
                                        {{"FOLDER", m_dir.Path().string()}}));
    EXPECT_NE(child.WaitForLine("number=").find("number=4660"), std::string::npos) << child.Output();
}

TEST(RegistryChild, PrintsTheSharedNumber)
{
    const std::string folder = tavrin::test::ChildArgument("FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "runs as a second process only";
    tavrin::win::SetUserConfigFolder(folder);
    HKEY key = nullptr;
    DWORD number = 0, size = 4;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExA(key, "Number", nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size),
              ERROR_SUCCESS);
    printf("number=%u\n", number);
    fflush(stdout);
    RegCloseKey(key);
}

TEST_F(RegistryTest, TwoCopiesWritingKeepEachOthersValues)
{
    HKEY key = Create("Software\\Tavrin\\Shared");
    RegSetValueExA(key, "First", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    tavrin::test::ChildProcess other;
    ASSERT_TRUE(tavrin::test::StartSelf(other, "RegistryChild.WritesAValue", {{"FOLDER", m_dir.Path().string()}}));
    ASSERT_NE(other.WaitForLine("written").find("written"), std::string::npos) << other.Output();
    RegSetValueExA(key, "Third", 0, REG_SZ, reinterpret_cast<const BYTE*>("3"), 2);
    EXPECT_EQ(Query(key, "Second"), std::string("2\0", 2)) << "this copy sees the other's write";
    RegCloseKey(key);
    tavrin::win::ReloadRegistry();
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "First"), std::string("1\0", 2));
    EXPECT_EQ(Query(key, "Second"), std::string("2\0", 2));
    EXPECT_EQ(Query(key, "Third"), std::string("3\0", 2));
    RegCloseKey(key);
}

TEST(RegistryChild, WritesAValue)
{
    const std::string folder = tavrin::test::ChildArgument("FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "runs as a second process only";
    tavrin::win::SetUserConfigFolder(folder);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Shared", 0, KEY_WRITE, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Second", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), ERROR_SUCCESS);
    printf("written\n");
    fflush(stdout);
    RegCloseKey(key);
}

TEST_F(RegistryTest, BatchWritesTheFileOnceWhenTheLastBatchCloses)
{
    HKEY key = Create("Software\\Tavrin\\Batch");
    const std::string before = TempDir::Read(File());
    {
        tavrin::win::RegistryBatch outer;
        {
            tavrin::win::RegistryBatch inner;
            RegSetValueExA(key, "A", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
            HKEY sub = Create("Software\\Tavrin\\Batch\\Sub");
            RegSetValueExA(sub, "B", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2);
            RegCloseKey(sub);
            EXPECT_EQ(inner.Close(), ERROR_SUCCESS);
        }
        EXPECT_EQ(Query(key, "A"), std::string("1\0", 2)) << "the change is seen at once";
        EXPECT_EQ(TempDir::Read(File()), before) << "an outer batch is still open";
        RegDeleteValueA(key, "A");
        RegSetValueExA(key, "C", 0, REG_SZ, reinterpret_cast<const BYTE*>("3"), 2);
        EXPECT_EQ(TempDir::Read(File()), before);
        EXPECT_EQ(outer.Close(), ERROR_SUCCESS);
    }
    RegCloseKey(key);
    tavrin::win::ReloadRegistry();
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Batch", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "A"), "<missing>");
    EXPECT_EQ(Query(key, "C"), std::string("3\0", 2));
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Batch\\Sub", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "B"), std::string("2\0", 2));
    RegCloseKey(key);
}

TEST_F(RegistryTest, FailedBatchWriteIsReported)
{
    HKEY key = Create("Software\\Tavrin\\Batch");
    RegSetValueExA(key, "Kept", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    LONG result = ERROR_SUCCESS;
    {
        tavrin::win::RegistryBatch batch;
        RegSetValueExA(key, "Lost", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2);
        // The file cannot be replaced: a folder stands in its place.
        std::filesystem::remove(File());
        std::filesystem::create_directory(File());
        m_dir.Write("registry/inside", "x");
        result = batch.Close();
    }
    EXPECT_NE(result, ERROR_SUCCESS) << "the failure is reported";
    EXPECT_EQ(TempDir::Read(File() / "inside"), "x");
    RegCloseKey(key);
}
