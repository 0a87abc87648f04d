// The application's settings in the registry and in a profile file, with
// the framework's rules for missing values and removals.
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "tests/support/UserConfigScope.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    std::string ReadFile(const char* name)
    {
        std::ifstream in(m_scope.Dir().Path() / name);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    tavrin::test::UserConfigScope m_scope;
};

} // namespace

TEST_F(ProfileTest, RegistryValuesUnderTheApplicationsKey)
{
    CWinApp app("Tavrin");
    app.SetRegistryKey("Tavrin");
    EXPECT_STREQ(app.m_pszProfileName, "Tavrin");
    EXPECT_EQ(app.GetProfileInt("Bars", "Count", 7), 7u) << "missing: the default";
    EXPECT_TRUE(app.WriteProfileInt("Bars", "Count", 3));
    EXPECT_TRUE(app.WriteProfileString("Bars", "Name", "标准"));
    BYTE bytes[3] = {1, 0xFE, 7};
    EXPECT_TRUE(app.WriteProfileBinary("Bars", "State", bytes, 3));
    EXPECT_EQ(app.GetProfileInt("Bars", "Count", 7), 3u);
    EXPECT_EQ(std::string(app.GetProfileString("Bars", "Name")), "标准");
    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(app.GetProfileBinary("Bars", "State", &data, &size));
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(data[1], 0xFE);
    delete[] data;

    // The values are where the framework keeps them.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Tavrin\\Bars", 0, KEY_READ | KEY_WRITE, &key), ERROR_SUCCESS);
    DWORD value = 0, type = 0, length = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Count", nullptr, &type, reinterpret_cast<LPBYTE>(&value), &length), ERROR_SUCCESS);
    EXPECT_EQ(value, 3u);
    // A text stored without its NUL still reads as that text, bounded.
    EXPECT_EQ(RegSetValueExA(key, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(std::string(app.GetProfileString("Bars", "Raw")), "abc");

    // A null value removes the entry; a null entry the whole section.
    EXPECT_TRUE(app.WriteProfileString("Bars", "Name", nullptr));
    EXPECT_EQ(std::string(app.GetProfileString("Bars", "Name", "none")), "none");
    EXPECT_TRUE(app.WriteProfileString("Bars", nullptr, nullptr));
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Tavrin\\Bars", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(app.GetProfileInt("Bars", "Count", 9), 9u);
}

TEST_F(ProfileTest, AProfileFileWithoutARegistryKey)
{
    CWinApp app("Tavrin");
    app.m_pszProfileName = "tavrin.ini";
    EXPECT_TRUE(app.WriteProfileInt("Settings", "PreviewPages", 2));
    EXPECT_TRUE(app.WriteProfileString("Settings", "Face", "宋体"));
    BYTE bytes[2] = {0x12, 0xAB};
    EXPECT_TRUE(app.WriteProfileBinary("Settings", "Blob", bytes, 2));
    app.LoadStdProfileSettings(0);
    EXPECT_EQ(app.m_nNumPreviewPages, 2);
    EXPECT_EQ(std::string(app.GetProfileString("Settings", "Face")), "宋体");
    BYTE* data = nullptr;
    UINT size = 0;
    ASSERT_TRUE(app.GetProfileBinary("Settings", "Blob", &data, &size));
    ASSERT_EQ(size, 2u);
    EXPECT_EQ(data[0], 0x12);
    EXPECT_EQ(data[1], 0xAB);
    delete[] data;
    const std::string file = ReadFile("tavrin.ini");
    EXPECT_NE(file.find("Blob=CBLK"), std::string::npos) << file;
    // Nothing went to the registry.
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin", 0, KEY_READ, &key), ERROR_SUCCESS);
    // A damaged binary text is no value.
    EXPECT_TRUE(app.WriteProfileString("Settings", "Blob", "ZZ"));
    EXPECT_FALSE(app.GetProfileBinary("Settings", "Blob", &data, &size));
    EXPECT_EQ(data, nullptr);
}
