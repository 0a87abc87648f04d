#include "toolkit/controls/XTProfileManager.h"

#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTGlobalData.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"

#include <cstring>
#include <memory>
#include <string>

using tavrin::test::TempDir;

namespace {

constexpr const char* kAppKey = "Software\\Tavrin\\TavrinApp";

class ProfileManagerTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_config = std::make_unique<tavrin::test::UserConfigScope>();
        XTGetGlobalData()->m_pstrProfileFile->Empty();
    }
    void TearDown() override
    {
        XTGetGlobalData()->m_pstrProfileFile->Empty();
        m_config.reset();
        ToolkitTest::TearDown();
    }

    static bool KeyExists(const std::string& path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static void SetRaw(const char* section, const char* entry, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kAppKey) + "\\" + section).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, entry, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::string Ini() const { return TempDir::Read(m_config->Dir().Path() / "tavrin.ini"); }

    std::unique_ptr<tavrin::test::UserConfigScope> m_config;
};

// The application object as the program sets it up.
struct App : CWinApp {
    App() : CWinApp("TavrinApp") { SetRegistryKey("Tavrin"); }
};

} // namespace

TEST_F(ProfileManagerTest, WithTheProfileFileNothingGoesToTheRegistry)
{
    App app;
    *XTGetGlobalData()->m_pstrProfileFile = "tavrin.ini";
    CXTProfileManager profile(HKEY_CURRENT_USER);
    EXPECT_TRUE(profile.WriteProfileString("S", "E", "V"));
    EXPECT_EQ(Ini(), "[S]\r\nE=V\r\n");
    EXPECT_FALSE(KeyExists("Software\\Tavrin"));
    EXPECT_EQ(std::string(profile.GetProfileString("S", "E", "d")), "V");
    EXPECT_EQ(std::string(profile.GetProfileString("S", "Missing", "d")), "d");
    EXPECT_EQ(std::string(profile.GetProfileString("S", "Missing", nullptr)), "");

    EXPECT_TRUE(profile.WriteProfileString("S", "E", nullptr));
    EXPECT_EQ(std::string(profile.GetProfileString("S", "E", "gone")), "gone");
    EXPECT_TRUE(profile.WriteProfileString("S", "F", "1"));
    EXPECT_TRUE(profile.WriteProfileString("S", nullptr, nullptr));
    EXPECT_EQ(Ini().find("[S]"), std::string::npos);
}

TEST_F(ProfileManagerTest, WithoutFileOrRegistryKeyWritesFailAndReadsGiveTheDefault)
{
    {
        CXTProfileManager profile(HKEY_CURRENT_USER); // no application at all
        EXPECT_FALSE(profile.WriteProfileString("S", "E", "V"));
        EXPECT_EQ(std::string(profile.GetProfileString("S", "E", "default")), "default");
    }
    CWinApp app; // no registry key set
    CXTProfileManager profile(HKEY_CURRENT_USER);
    EXPECT_FALSE(profile.WriteProfileString("S", "E", "V"));
    EXPECT_FALSE(profile.WriteProfileString("S", nullptr, nullptr));
    EXPECT_EQ(std::string(profile.GetProfileString("S", "E", "default")), "default");
    EXPECT_EQ(profile.GetAppRegistryKey(), nullptr);
    EXPECT_FALSE(KeyExists("Software\\Tavrin"));
}

TEST_F(ProfileManagerTest, RegistryValuesUnderTheApplicationKey)
{
    App app;
    CXTProfileManager profile(HKEY_CURRENT_USER);
    EXPECT_TRUE(profile.WriteProfileString("Column Info", "Widths", "120,80"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kAppKey) + "\\Column Info").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Widths", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 7u) << "stored with its NUL";
    RegCloseKey(key);
    EXPECT_EQ(std::string(profile.GetProfileString("Column Info", "Widths", "d")), "120,80");

    EXPECT_TRUE(profile.WriteProfileString("Column Info", "Widths", nullptr));
    EXPECT_EQ(std::string(profile.GetProfileString("Column Info", "Widths", "d")), "d");
    EXPECT_FALSE(profile.WriteProfileString("Column Info", "Widths", nullptr)) << "nothing left to delete";

    EXPECT_TRUE(profile.WriteProfileString("Column Info", "Order", "0,1"));
    EXPECT_TRUE(profile.WriteProfileString("Column Info", nullptr, nullptr));
    EXPECT_FALSE(KeyExists(std::string(kAppKey) + "\\Column Info")) << "a NULL entry removes the section key";
    EXPECT_TRUE(KeyExists(kAppKey));
}

TEST_F(ProfileManagerTest, RegistryReadsStayInsideTheStoredData)
{
    App app;
    CXTProfileManager profile(HKEY_CURRENT_USER);
    const unsigned char binary[3] = {'x', 'y', 'z'};
    SetRaw("S", "Binary", REG_BINARY, binary, 3);
    SetRaw("S", "Unterminated", REG_SZ, "text", 4);
    SetRaw("S", "Terminated", REG_SZ, "text", 5);
    const DWORD number = 0x00434241; // "ABC" and a zero byte
    SetRaw("S", "Number", REG_DWORD, &number, 4);
    SetRaw("S", "Empty", REG_SZ, "", 0);
    struct Case {
        const char* entry;
        std::string expected;
    } const cases[] = {
        {"Binary", "xyz"}, {"Unterminated", "text"}, {"Terminated", "text"}, {"Number", "ABC"}, {"Empty", ""},
        {"Missing", "default"},
    };
    for (const Case& c : cases) {
        CString value = profile.GetProfileString("S", c.entry, "default");
        EXPECT_EQ(std::string(value), c.expected) << c.entry;
        EXPECT_EQ(static_cast<size_t>(value.GetLength()), c.expected.size()) << c.entry;
    }
}
