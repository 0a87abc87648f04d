#include "platform/win/ProfileFile.h"
#include "platform/win/UserFolder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

using tavrin::test::TempDir;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { tavrin::win::SetUserConfigFolder((m_dir.Path() / "config").string()); }
    void TearDown() override { tavrin::win::SetUserConfigFolder(""); }

    std::string Get(const char* section, const char* key, const char* def = "", const char* file = "tavrin.ini")
    {
        char buffer[4096];
        const DWORD n = GetPrivateProfileStringA(section, key, def, buffer, sizeof buffer, file);
        return std::string(buffer, n);
    }
    std::string Ini() const { return TempDir::Read(m_dir.Path() / "config" / "tavrin.ini"); }

    TempDir m_dir;
};

} // namespace

TEST_F(ProfileFileTest, BareNameLivesInTheConfigurationFolder)
{
    EXPECT_TRUE(WritePrivateProfileStringA("S", "E", "V", "tavrin.ini"));
    EXPECT_EQ(Ini(), "[S]\r\nE=V\r\n");
    EXPECT_EQ(Get("s", "e"), "V") << "names ignore case";
    EXPECT_TRUE(WritePrivateProfileStringA("s", "e", "W", "tavrin.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("S", "F", "1", "tavrin.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("T", "G", "2", "tavrin.ini"));
    EXPECT_EQ(Ini(), "[S]\r\ne=W\r\nF=1\r\n\r\n[T]\r\nG=2\r\n");
}

TEST_F(ProfileFileTest, NullKeyRemovesTheSectionNullValueTheKey)
{
    WritePrivateProfileStringA("A", "x", "1", "tavrin.ini");
    WritePrivateProfileStringA("A", "y", "2", "tavrin.ini");
    WritePrivateProfileStringA("B", "z", "3", "tavrin.ini");
    EXPECT_TRUE(WritePrivateProfileStringA("A", "x", nullptr, "tavrin.ini"));
    EXPECT_EQ(Get("A", "x", "gone"), "gone");
    EXPECT_EQ(Get("A", "y"), "2");
    EXPECT_TRUE(WritePrivateProfileStringA("a", nullptr, nullptr, "tavrin.ini"));
    EXPECT_EQ(Get("A", "y", "gone"), "gone");
    EXPECT_EQ(Get("B", "z"), "3");
    EXPECT_TRUE(WritePrivateProfileStringA("Missing", nullptr, nullptr, "tavrin.ini"));
    EXPECT_TRUE(WritePrivateProfileStringA("B", "missing", nullptr, "tavrin.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", "tavrin.ini"));
    // Texts that would break a line are refused, the file stays.
    EXPECT_FALSE(WritePrivateProfileStringA("B", "z", "1\r\n[Evil]\r\nk=v", "tavrin.ini"));
    EXPECT_FALSE(WritePrivateProfileStringA("B", "a=b", "v", "tavrin.ini"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Get("B", "z"), "3");
}

TEST_F(ProfileFileTest, GbkValuesAndQuotesAndDefaults)
{
    const char* gbk = "\xc0\xcf\xcd\xac\xd1\xa7\x5c"; // ends in a 0x5C trail byte
    EXPECT_TRUE(WritePrivateProfileStringA("\xb0\xe0\xbc\xb6", "\xc3\xfb", gbk, "tavrin.ini"));
    EXPECT_EQ(Get("\xb0\xe0\xbc\xb6", "\xc3\xfb"), gbk);
    m_dir.Write("config/tavrin.ini", "[Q]\r\n  k  =  \"quoted\"  \r\nn=12abc\r\nneg=-5\r\n");
    EXPECT_EQ(Get("Q", "k"), "quoted");
    EXPECT_EQ(Get("Q", "none", "dflt   "), "dflt") << "trailing blanks of the default go";
    EXPECT_EQ(Get("Q", "none", nullptr), "");
    EXPECT_EQ(GetPrivateProfileIntA("Q", "n", 7, "tavrin.ini"), 12u);
    EXPECT_EQ(GetPrivateProfileIntA("Q", "neg", 7, "tavrin.ini"), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("Q", "none", 7, "tavrin.ini"), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("Q", "k", 7, "tavrin.ini"), 0u);
}

TEST_F(ProfileFileTest, TruncationAndCounts)
{
    WritePrivateProfileStringA("S", "long", "0123456789", "tavrin.ini");
    WritePrivateProfileStringA("S", "b", "x", "tavrin.ini");
    WritePrivateProfileStringA("T", "c", "y", "tavrin.ini");
    char buffer[8];
    memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("S", "long", "", buffer, 5, "tavrin.ini"), 4u);
    EXPECT_STREQ(buffer, "0123");
    EXPECT_EQ(buffer[5], '#') << "nothing past the size";
    // Lists: names each ended by a zero, then one more; cut lists give size - 2.
    char list[32];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", list, sizeof list, "tavrin.ini"), 4u);
    EXPECT_EQ(std::string(list, 5), std::string("S\0T\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringA("S", nullptr, "", list, sizeof list, "tavrin.ini"), 7u);
    EXPECT_EQ(std::string(list, 8), std::string("long\0b\0\0", 8));
    EXPECT_EQ(GetPrivateProfileStringA("S", nullptr, "", list, 5, "tavrin.ini"), 3u);
    EXPECT_EQ(std::string(list, 5), std::string("lon\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringA("S", "long", "", list, 0, "tavrin.ini"), 0u);
}

TEST_F(ProfileFileTest, SecondFileNameAndFullPaths)
{
    WritePrivateProfileStringA("S", "k", "one", "tavrin.ini");
    WritePrivateProfileStringA("S", "k", "two", "other.ini");
    EXPECT_EQ(Get("S", "k", "", "tavrin.ini"), "one");
    EXPECT_EQ(Get("S", "k", "", "other.ini"), "two");
    // A program path with a folder is used as it stands.
    const std::string path = (m_dir.Path() / "elsewhere.ini").string();
    std::string gbkPath = path;
    for (char& c : gbkPath)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "three", gbkPath.c_str()));
    EXPECT_EQ(TempDir::Read(path), "[S]\r\nk=three\r\n");
}

TEST_F(ProfileFileTest, UnreadableFileIsNeverReplaced)
{
    m_dir.Write("config/tavrin.ini/inside", "kept");
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", "tavrin.ini"));
    EXPECT_EQ(Get("S", "k", "dflt"), "dflt");
    EXPECT_EQ(TempDir::Read(m_dir.Path() / "config" / "tavrin.ini" / "inside"), "kept");
}
