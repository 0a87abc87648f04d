#include "TestWindow.h"

#include "platform/win/FileDialog.h"
#include "platform/win/Focus.h"
#include "tests/support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>

using tavrin::test::TempDir;
using tavrin::win::FileDialogRequest;

namespace {

// The save dialog the export fills: one filter, "htm", overwrite prompt.
const char kFilter[] = "HTML\xce\xc4\xbc\xfe (*.htm)\0*.htm\0\0";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::win::ClearFileDialogAnswers();
        tavrin::win::TakeFileDialogLog();
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::TakeMessageBoxLog();
        m_folder = m_dir.Path().string();
        for (char& c : m_folder)
            if (c == '/')
                c = '\\';
        memset(m_file, 0, sizeof m_file);
        memset(m_title, 0, sizeof m_title);
        m_ofn = OPENFILENAMEA{};
        m_ofn.lStructSize = OPENFILENAME_SIZE_FULL;
        m_ofn.lpstrFilter = kFilter;
        m_ofn.lpstrDefExt = "htm";
        m_ofn.lpstrFile = m_file;
        m_ofn.nMaxFile = MAX_PATH;
        m_ofn.lpstrFileTitle = m_title;
        m_ofn.nMaxFileTitle = MAX_PATH;
        m_ofn.lpstrInitialDir = m_folder.c_str();
        m_ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
        strcpy(m_file, "20050301_20050331");
    }
    void TearDown() override
    {
        tavrin::win::ClearFileDialogAnswers();
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::SetFileDialogPresenter(nullptr);
    }

    TempDir m_dir;
    std::string m_folder;
    char m_file[MAX_PATH];
    char m_title[MAX_PATH];
    OPENFILENAMEA m_ofn;
};

} // namespace

TEST_F(FileDialogTest, SaveTakesTheSuggestionAndAddsTheExtension)
{
    tavrin::win::QueueFileDialogAnswer("20050301_20050331");
    ASSERT_TRUE(GetSaveFileNameA(&m_ofn));
    const std::string expected = m_folder + "\\20050301_20050331.htm";
    EXPECT_EQ(std::string(m_file), expected);
    EXPECT_STREQ(m_title, "20050301_20050331.htm");
    EXPECT_EQ(m_ofn.nFileOffset, m_folder.size() + 1);
    EXPECT_EQ(std::string(m_file + m_ofn.nFileExtension), "htm");
    EXPECT_EQ(m_ofn.nFilterIndex, 1u);
    auto log = tavrin::win::TakeFileDialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].save);
    EXPECT_EQ(log[0].name, "20050301_20050331");
    EXPECT_EQ(log[0].folder, m_folder);
    ASSERT_EQ(log[0].filters.size(), 1u);
    EXPECT_EQ(log[0].filters[0].first, "HTML\xce\xc4\xbc\xfe (*.htm)");
    EXPECT_EQ(log[0].filters[0].second, "*.htm");
    EXPECT_EQ(log[0].defaultExtension, "htm");
}

TEST_F(FileDialogTest, OverwriteQuestionAnsweredNoGoesBackToTheDialog)
{
    m_dir.Write("old.htm", "kept");
    tavrin::win::QueueFileDialogAnswer("old");
    tavrin::win::QueueMessageBoxAnswer(IDNO);
    tavrin::win::QueueFileDialogAnswer(m_folder + "\\new.htm");
    ASSERT_TRUE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(std::string(m_file), m_folder + "\\new.htm");
    auto boxes = tavrin::win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, m_folder + "\\old.htm \xd2\xd1\xb4\xe6\xd4\xda\xa1\xa3\n\xd2\xaa\xcc\xe6\xbb\xbb\xcb\xfc\xc2\xf0\xa3\xbf");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(tavrin::win::TakeFileDialogLog().size(), 2u);

    // Yes keeps the chosen file.
    tavrin::win::QueueFileDialogAnswer("old.htm");
    tavrin::win::QueueMessageBoxAnswer(IDYES);
    ASSERT_TRUE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(std::string(m_file), m_folder + "\\old.htm");
}

TEST_F(FileDialogTest, FailuresAndCancel)
{
    // Cancel: FALSE with no extended error.
    tavrin::win::QueueFileDialogAnswer("");
    EXPECT_FALSE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(m_file, "20050301_20050331") << "the buffer is left alone";
    // Headless with nothing queued: a cancel too.
    EXPECT_FALSE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);

    // A name too long for the 260-character buffer.
    tavrin::win::QueueFileDialogAnswer(std::string(300, 'n'));
    EXPECT_FALSE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    WORD needed = 0;
    memcpy(&needed, m_file, sizeof needed);
    EXPECT_EQ(needed, m_folder.size() + 1 + 300 + 4 + 1);

    m_ofn.lStructSize = 12;
    EXPECT_FALSE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
    m_ofn.lStructSize = sizeof(OPENFILENAMEA);
    m_ofn.lpstrFile = nullptr;
    EXPECT_FALSE(GetSaveFileNameA(&m_ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_INITIALIZATION));
}

TEST_F(FileDialogTest, OpenNeedsAnExistingFileAndKeepsTheFilterChosen)
{
    m_dir.Write("there.htm", "x");
    const char filters[] = "All (*.*)\0*.*\0HTML (*.htm)\0*.htm;*.html\0\0";
    m_ofn.lpstrFilter = filters;
    m_ofn.lpstrDefExt = nullptr;
    m_ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    m_file[0] = 0;
    tavrin::win::QueueFileDialogAnswer("missing.htm");
    tavrin::win::QueueMessageBoxAnswer(IDOK);
    tavrin::win::QueueFileDialogAnswer("there.htm", 2);
    ASSERT_TRUE(GetOpenFileNameA(&m_ofn));
    EXPECT_EQ(std::string(m_file), m_folder + "\\there.htm");
    EXPECT_EQ(m_ofn.nFilterIndex, 2u);
    EXPECT_EQ(tavrin::win::TakeMessageBoxLog().size(), 1u);
    auto log = tavrin::win::TakeFileDialogLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_FALSE(log[0].save);
    ASSERT_EQ(log[0].filters.size(), 2u);
    EXPECT_EQ(log[0].filters[1].second, "*.htm;*.html");
}

TEST_F(FileDialogTest, OwnerIsDisabledWhileOpen)
{
    tavrin::test::Recorder recorder;
    HWND frame = tavrin::test::CreateRecorderWindow(&recorder);
    HWND child = CreateWindowExA(0, tavrin::test::RecorderClass(), "", WS_CHILD, 0, 0, 10, 10, frame, nullptr,
                                 nullptr, nullptr);
    bool enabledWhileOpen = true;
    tavrin::win::SetFileDialogPresenter([&](const FileDialogRequest& request, std::string& path, int&) {
        enabledWhileOpen = IsWindowEnabled(frame);
        EXPECT_EQ(request.owner, child);
        path = "chosen";
        return true;
    });
    m_ofn.hwndOwner = child;
    EXPECT_TRUE(GetSaveFileNameA(&m_ofn));
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(IsWindowEnabled(frame));
    EXPECT_EQ(std::string(m_file), m_folder + "\\chosen.htm");
    DestroyWindow(frame);
}
