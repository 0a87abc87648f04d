#include "platform/win/AnimatedRects.h"
#include "platform/win/Locale.h"
#include "platform/win/Shell.h"
#include "platform/win/Sound.h"
#include "platform/win/WindowPos.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using tavrin::test::TempDir;
using tavrin::win::ShellLaunch;

namespace {

class RecordingLauncher : public tavrin::win::ShellLauncher {
public:
    bool Launch(const ShellLaunch& launch) override
    {
        launches.push_back(launch);
        return succeed;
    }
    std::vector<ShellLaunch> launches;
    bool succeed = true;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { tavrin::win::SetShellLauncher(&m_launcher); }
    void TearDown() override { tavrin::win::SetShellLauncher(nullptr); }

    // The program path of a file in the temporary folder.
    std::string GbkPath(const std::string& name) const
    {
        std::string p = (m_dir.Path() / name).string();
        for (char& c : p)
            if (c == '/')
                c = '\\';
        return p;
    }
    std::string Make(const std::string& name, const std::string& bytes, mode_t mode = 0644)
    {
        const auto path = m_dir.Write(name, bytes);
        chmod(path.c_str(), mode);
        return GbkPath(name);
    }

    RecordingLauncher m_launcher;
    TempDir m_dir;
};

int Code(HINSTANCE result)
{
    return static_cast<int>(reinterpret_cast<ULONG_PTR>(result));
}

} // namespace

TEST_F(ShellTest, OpenCases)
{
    const std::string page = Make("index.htm", "<html></html>");
    const std::string program = Make("Updater", "#!/bin/sh\nexit 0\n", 0755);
    const std::string foreign = Make("Updater.exe", "MZ\x90\x00", 0644);
    const std::string executableText = Make("notes.txt", "text", 0755);
    const std::string folder = GbkPath("");
    struct Case {
        const char* label;
        const char* verb;
        std::string file;
        const char* parameters;
        std::string folder;
        int code;                 // > 32: launched
        ShellLaunch::Kind kind;
        std::string target;
        std::vector<std::string> arguments;
    };
    const std::string native = m_dir.Path().string();
    const Case cases[] = {
        {"web address", "open", "http://www.example.com/guest?a=1", nullptr, "", 42, ShellLaunch::Kind::OpenWithDesktop,
         "http://www.example.com/guest?a=1", {}},
        {"bare www address", nullptr, "www.example.com", nullptr, "", 42, ShellLaunch::Kind::OpenWithDesktop,
         "http://www.example.com", {}},
        {"document", "open", page, nullptr, "", 42, ShellLaunch::Kind::OpenWithDesktop, native + "/index.htm", {}},
        {"document by folder", "open", "index.htm", nullptr, folder, 42, ShellLaunch::Kind::OpenWithDesktop,
         native + "/index.htm", {}},
        {"document with the execute bit", "open", executableText, nullptr, "", 42,
         ShellLaunch::Kind::OpenWithDesktop, native + "/notes.txt", {}},
        {"program with parameters", "open", program, "\"C:\\Program Files\\Tavrin\" -x", "", 42,
         ShellLaunch::Kind::StartProgram, native + "/Updater", {"C:\\Program Files\\Tavrin", "-x"}},
        {"program of another system", "open", foreign, "silience-C:\\", "", ERROR_BAD_FORMAT,
         ShellLaunch::Kind::StartProgram, "", {}},
        {"missing file", "open", GbkPath("missing.htm"), nullptr, "", SE_ERR_FNF, ShellLaunch::Kind::OpenWithDesktop,
         "", {}},
        {"missing folder", "open", GbkPath("none\\missing.htm"), nullptr, "", SE_ERR_PNF,
         ShellLaunch::Kind::OpenWithDesktop, "", {}},
        {"no file", "open", "", nullptr, "", SE_ERR_FNF, ShellLaunch::Kind::OpenWithDesktop, "", {}},
        {"other verb", "print", page, nullptr, "", SE_ERR_NOASSOC, ShellLaunch::Kind::OpenWithDesktop, "", {}},
        {"broken address", "open", "http://a b/\r\nx", nullptr, "", SE_ERR_FNF, ShellLaunch::Kind::OpenWithDesktop,
         "", {}},
    };
    for (const Case& c : cases) {
        m_launcher.launches.clear();
        const int code = Code(ShellExecuteA(nullptr, c.verb, c.file.c_str(), c.parameters,
                                            c.folder.empty() ? nullptr : c.folder.c_str(), SW_SHOWNORMAL));
        EXPECT_EQ(code, c.code) << c.label;
        if (c.code > 32) {
            ASSERT_EQ(m_launcher.launches.size(), 1u) << c.label;
            EXPECT_EQ(m_launcher.launches[0].kind, c.kind) << c.label;
            EXPECT_EQ(m_launcher.launches[0].target, c.target) << c.label;
            EXPECT_EQ(m_launcher.launches[0].arguments, c.arguments) << c.label;
        } else {
            EXPECT_TRUE(m_launcher.launches.empty()) << c.label;
        }
    }
}

TEST_F(ShellTest, FailedLaunchIsReported)
{
    m_launcher.succeed = false;
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "https://example.com", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
    EXPECT_EQ(tavrin::win::SplitParameters("a  \"b c\" \"d\"\"e\" \"\""),
              (std::vector<std::string>{"a", "b c", "d\"e", ""}));
}

TEST(Locale, EnglishLanguageNameOfInjectedLocales)
{
    struct Case {
        const char* locale;
        const char* name;
    };
    const Case cases[] = {{"zh_CN.UTF-8", "Chinese"}, {"zh_TW.Big5", "Chinese"}, {"en_US.UTF-8", "English"},
                          {"C", "English"},           {"POSIX", "English"},      {"de_DE@euro", "German"},
                          {"ja_JP", "Japanese"},      {"eo", "eo"}};
    for (const Case& c : cases) {
        tavrin::win::SetUserLocaleName(c.locale);
        char name[32] = {};
        const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, name, sizeof name);
        EXPECT_STREQ(name, c.name) << c.locale;
        EXPECT_EQ(n, static_cast<int>(strlen(c.name)) + 1) << c.locale;
    }
    tavrin::win::SetUserLocaleName("zh_CN.GBK");
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0), 8);
    char tiny[4];
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, tiny, sizeof tiny), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char name[32];
    EXPECT_GT(GetLocaleInfoA(0x0409, LOCALE_SENGLANGUAGE, name, sizeof name), 0);
    EXPECT_STREQ(name, "English");
    tavrin::win::SetUserLocaleName("");
}

namespace {

class RecordingPlayer : public tavrin::win::SoundPlayer {
public:
    bool Play(const tavrin::win::SoundRequest& request) override
    {
        played.push_back(request);
        return true;
    }
    std::vector<tavrin::win::SoundRequest> played;
};

} // namespace

TEST(Sound, AliasesFilesAndDefaults)
{
    RecordingPlayer player;
    tavrin::win::SetSoundPlayer(&player);
    TempDir dir;
    const auto wave = dir.Write("ding.wav", "RIFF");
    std::string gbkWave = wave.string();
    for (char& c : gbkWave)
        if (c == '/')
            c = '\\';
    using Kind = tavrin::win::SoundRequest::Kind;
    struct Case {
        const char* sound;
        DWORD flags;
        BOOL result;
        Kind kind;
        std::string name;
        bool async;
    };
    const Case cases[] = {
        {"MenuPopup", SND_ALIAS | SND_NOWAIT | SND_NODEFAULT, TRUE, Kind::Event, "menu-popup", false},
        {"menucommand", SND_ALIAS | SND_ASYNC, TRUE, Kind::Event, "menu-click", true},
        {"NoSuchAlias", SND_ALIAS | SND_NODEFAULT, FALSE, Kind::Stop, "", false},
        {"NoSuchAlias", SND_ALIAS | SND_ASYNC, TRUE, Kind::Event, "bell", true},
        {gbkWave.c_str(), SND_FILENAME | SND_ASYNC, TRUE, Kind::File, wave.string(), true},
        {gbkWave.c_str(), SND_ASYNC, TRUE, Kind::File, wave.string(), true},
        {"C:\\missing.wav", SND_FILENAME | SND_NODEFAULT, FALSE, Kind::Stop, "", false},
        {nullptr, 0, TRUE, Kind::Stop, "", false},
        {"x", SND_MEMORY, FALSE, Kind::Stop, "", false},
    };
    for (const Case& c : cases) {
        player.played.clear();
        EXPECT_EQ(PlaySoundA(c.sound, nullptr, c.flags), c.result) << (c.sound ? c.sound : "null");
        if (c.result) {
            ASSERT_EQ(player.played.size(), 1u);
            EXPECT_EQ(player.played[0].kind, c.kind);
            EXPECT_EQ(player.played[0].name, c.name);
            EXPECT_EQ(player.played[0].async, c.async);
        } else {
            EXPECT_TRUE(player.played.empty());
        }
    }
    tavrin::win::SetSoundPlayer(nullptr);
}

TEST(AnimatedRects, SucceedsWithoutDrawing)
{
    RECT from{0, 0, 100, 100}, to{900, 700, 916, 716};
    EXPECT_TRUE(DrawAnimatedRects(nullptr, IDANI_CAPTION, &from, &to));
    EXPECT_FALSE(DrawAnimatedRects(nullptr, IDANI_CAPTION, nullptr, &to));
}
