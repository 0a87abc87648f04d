#include "core/services/Config.h"

#include "core/services/Password.h"
#include "platform/base/Path.h"
#include "platform/win/SystemMetrics.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

using tavrin::test::TempDir;

namespace {

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(tavrin::ProgramPath(m_dir.Path().string()));
        tavrin::ReloadConfig();
        tavrin::win::SetSystemMetric(SM_CXSCREEN, 1366);
        tavrin::win::SetSystemMetric(SM_CYSCREEN, 768);
    }
    void TearDown() override
    {
        tavrin::ReloadConfig();
        tavrin::SetProgramFolder(CString());
    }
    std::filesystem::path File() const { return m_dir.Path() / "config.xml"; }
    std::string FileText() const { return TempDir::Read(File()); }

    TempDir m_dir;
};

TEST_F(ConfigTest, EveryKeyWithItsDefault)
{
    struct Row {
        int id;
        const char* section;
        const char* key;
        const char* value; // what GetConfig gives without a file
    } rows[] = {
        {CFG_STYLE_CUR_STYLE, "style", "cur_style", "Office XP"},
        {CFG_PLACEMENT_X, "placement", "x", "0"},
        {CFG_PLACEMENT_Y, "Placement", "y", "0"},
        {CFG_PLACEMENT_CX, "placement", "cx", "1366"},
        {CFG_PLACEMENT_CY, "placement", "cy", "768"},
        {CFG_PLACEMENT_PANE_1_W, "placement", "pane_1_w", "0"},
        {CFG_PLACEMENT_PANE_1_1_H, "placement", "pane_1_1_h", "0"},
        {CFG_PLACEMENT_PANE_1_2_VISIBLE, "placement", "pane_1_2_visible", "1"},
        {CFG_PLACEMENT_PANE_2_2_H, "placement", "pane_2_2_h", "0"},
        {CFG_PLACEMENT_PANE_2_2_VISIBLE, "placement", "pane_2_2_visible", "1"},
        {CFG_PLACEMENT_PANE_2_1_1_H, "placement", "pane_2_1_1_h", "0"},
        {CFG_MESSAGE_LIST_DISPALY_NUMBER, "message_list", "dispaly_number", "5000"},
        {CFG_PROXY_HOST, "proxy", "host", ""},
        {CFG_PROXY_PORT, "proxy", "port", ""},
        {CFG_PROXY_USERNAME, "proxy", "username", ""},
        {CFG_PROXY_PASSWORD, "proxy", "password", ""},
        {CFG_MISC_CUR_VISIBLE, "misc", "cur_visible", "0"},
        {CFG_READ_TIMEOUT, "read", "timeout", "3"},
        {CFG_UPDATE_PERIOD, "update", "period", "30"},
        {CFG_UPDATE_MESSAGE, "update", "message", "1"},
        {CFG_UPDATE_PICTURE, "update", "picture", "2"},
        {CFG_UPDATE_CONTACT, "update", "contact", "1"},
        {CFG_UPDATE_PRIVATE_MESSAGE, "update", "private_message", "1"},
        {CFG_UPDATE_OTHER_INFO, "update", "other_info", "1"},
        {CFG_UPDATE_AFTER_STARTUP, "update", "after_startup", "1"},
        {CFG_UPDATE_NEW_INFO_POPUP, "update", "new_info_popup", "1"},
        {CFG_COMPOSE_PREVIEW, "compose", "preview", "1"},
        {CFG_STYLE_VIEW_MESSAGE_NUMBER, "style", "view_message_number", "1"},
        {CFG_STARTUP_MINIMIZED, "startup", "minimized", "0"},
        {CFG_APP_UPDATE_STARTUP, "app_update", "startup", "1"},
        {CFG_APP_UPDATE_STABLE_ONLY, "app_update", "stable_only", "0"},
        {CFG_OTHER_MINIMIZE_HIDDEN, "other", "minimize_hidden", "1"},
        {CFG_OTHER_SINGLE_TAVRIN, "other", "single_tavrin", "0"},
        {CFG_OTHER_TIME_ZONE, "other", "time_zone", "0"},
    };
    ASSERT_EQ(std::size(rows), 34u);
    ASSERT_EQ(CFG_KEY_COUNT, 34);
    for (const auto& r : rows) {
        const tavrin::ConfigKey* key = tavrin::GetConfigKey(r.id);
        ASSERT_NE(key, nullptr) << r.id;
        EXPECT_STREQ(key->section, r.section) << r.id;
        EXPECT_STREQ(key->key, r.key) << r.id;
        EXPECT_EQ(GetConfig(r.id), r.value) << r.id;
    }
    for (int id : {-1, 34, 1000}) {
        EXPECT_EQ(tavrin::GetConfigKey(id), nullptr);
        EXPECT_EQ(GetConfig(id), "");
        SetConfig(id, "x");
    }
    EXPECT_FALSE(std::filesystem::exists(File())); // reading never writes
}

TEST_F(ConfigTest, FileBytesInTheOrderValuesWereStored)
{
    SetConfigInt(CFG_UPDATE_PERIOD, 45);
    SetConfig(CFG_PLACEMENT_Y, "10");
    SetConfig(CFG_PLACEMENT_X, "20");
    SetConfig(CFG_APP_UPDATE_STARTUP, "0");
    SetConfig(CFG_STARTUP_MINIMIZED, "1");
    SetConfig(CFG_STYLE_CUR_STYLE, "a<b & \"c\"");
    SetConfig(CFG_UPDATE_PERIOD, "46");
    EXPECT_EQ(FileText(), "<config>\n"
                          "\t<update>\n"
                          "\t\t<period>46</period>\n"
                          "\t</update>\n"
                          "\t<Placement>\n"
                          "\t\t<y>10</y>\n"
                          "\t</Placement>\n"
                          "\t<placement>\n"
                          "\t\t<x>20</x>\n"
                          "\t</placement>\n"
                          "\t<app_update>\n"
                          "\t\t<startup>0</startup>\n"
                          "\t</app_update>\n"
                          "\t<startup>\n"
                          "\t\t<minimized>1</minimized>\n"
                          "\t</startup>\n"
                          "\t<style>\n"
                          "\t\t<cur_style>a&lt;b&nbsp;&amp;&nbsp;\"c\"</cur_style>\n"
                          "\t</style>\n"
                          "</config>\n");
    EXPECT_EQ(GetConfig(CFG_STARTUP_MINIMIZED), "1");
    EXPECT_EQ(GetConfig(CFG_APP_UPDATE_STARTUP), "0");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_Y), "10");
    EXPECT_EQ(GetConfig(CFG_STYLE_CUR_STYLE), "a<b & \"c\"");

    // A new process reads back what this one stored.
    tavrin::ReloadConfig();
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "46");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_X), "20");
    EXPECT_EQ(GetConfig(CFG_STYLE_CUR_STYLE), "a<b & \"c\"");
    EXPECT_EQ(GetConfig(CFG_UPDATE_MESSAGE), "1");
}

TEST_F(ConfigTest, ProxyPasswordIsStoredEnciphered)
{
    SetConfig(CFG_PROXY_PASSWORD, "s3cret");
    CString cipher = EncryptPassword("s3cret");
    ASSERT_FALSE(cipher.IsEmpty());
    EXPECT_NE(FileText().find("<password>" + cipher.Str() + "</password>"), std::string::npos);
    EXPECT_EQ(FileText().find("s3cret"), std::string::npos);
    EXPECT_EQ(GetConfig(CFG_PROXY_PASSWORD), "s3cret");
}

TEST_F(ConfigTest, ScreenSizeStandsInForZero)
{
    m_dir.Write("config.xml", "<config>\n\t<placement>\n\t\t<cx>1024</cx>\n\t\t<cy>0</cy>\n\t\t<x/>\n"
                              "\t</placement>\n</config>\n");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_CX), "1024");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_CY), "768");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_X), ""); // an element without text is empty, not the default
    SetConfig(CFG_PLACEMENT_CX, "0");
    EXPECT_EQ(GetConfig(CFG_PLACEMENT_CX), "1366");
}

TEST_F(ConfigTest, DamagedFileKeepsWhatCanBeRead)
{
    m_dir.Write("config.xml", "<config><proxy><host>proxy.lan</host></proxy><style>");
    EXPECT_EQ(GetConfig(CFG_PROXY_HOST), "proxy.lan");
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "30");
    SetConfig(CFG_READ_TIMEOUT, "5");
    tavrin::ReloadConfig();
    EXPECT_EQ(GetConfig(CFG_PROXY_HOST), "proxy.lan");
    EXPECT_EQ(GetConfig(CFG_READ_TIMEOUT), "5");
}

TEST_F(ConfigTest, UnreadableFileIsNeverReplaced)
{
    // Something that exists under the name but cannot be read as a file.
    std::filesystem::create_directory(File());
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "30");
    SetConfig(CFG_UPDATE_PERIOD, "15");
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "15"); // kept for this run
    EXPECT_TRUE(std::filesystem::is_directory(File()));
}

// An empty file holds no settings to keep: it is replaced like a missing one.
TEST_F(ConfigTest, EmptyFileIsReplaced)
{
    m_dir.Write("config.xml", "");
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "30");
    SetConfig(CFG_UPDATE_PERIOD, "15");
    EXPECT_EQ(FileText(), "<config>\n\t<update>\n\t\t<period>15</period>\n\t</update>\n</config>\n");
    tavrin::ReloadConfig();
    EXPECT_EQ(GetConfig(CFG_UPDATE_PERIOD), "15");
}

TEST_F(ConfigTest, ConcurrentReadsAndWrites)
{
    const int ids[] = {CFG_UPDATE_PERIOD, CFG_READ_TIMEOUT, CFG_PROXY_PORT, CFG_PROXY_PASSWORD,
                       CFG_OTHER_TIME_ZONE, CFG_PLACEMENT_X};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &ids] {
            for (int i = 0; i < 10; ++i) {
                SetConfigInt(ids[t], t * 100 + i);
                CString value = GetConfig(ids[t]);
                EXPECT_EQ(atoi(value), t * 100 + i);
                (void)GetConfig(ids[(t + 1) % 6]);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    tavrin::ReloadConfig();
    for (int t = 0; t < 6; ++t)
        EXPECT_EQ(GetConfig(ids[t]), std::to_string(t * 100 + 9).c_str()) << t;
}

} // namespace
