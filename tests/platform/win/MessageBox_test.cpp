#include "TestWindow.h"

#include <gtest/gtest.h>
#include <thread>

using tavrin::test::CreateRecorderWindow;
using tavrin::test::Recorder;
using tavrin::win::TakeMessageBoxLog;

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::win::ClearMessageBoxAnswers();
        TakeMessageBoxLog();
    }
    void TearDown() override { tavrin::win::ClearMessageBoxAnswers(); }
};

} // namespace

TEST_F(MessageBoxTest, WorkerBoxIsShownOnTheOwnerThreadWithScriptedAnswers)
{
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);
    tavrin::win::QueueMessageBoxAnswer(IDCANCEL);
    tavrin::win::QueueMessageBoxAnswer(IDOK);
    int answers[2] = {0, 0};
    std::pair<HWND, int*> args(frame, answers);
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* args = static_cast<std::pair<HWND, int*>*>(p);
            args->second[0] = MessageBoxA(args->first, "\xc8\xb7\xb6\xa8\xb7\xa2\xcb\xcd?", "\xd0\xc5\xcf\xa2",
                                          MB_OKCANCEL | MB_ICONEXCLAMATION);
            args->second[1] = MessageBoxA(args->first, "again", "\xd0\xc5\xcf\xa2", MB_OKCANCEL);
            return 0;
        },
        &args, 0, nullptr);
    EXPECT_EQ(tavrin::WaitServingSends(worker, INFINITE), WAIT_OBJECT_0);
    CloseHandle(worker);
    EXPECT_EQ(answers[0], IDCANCEL);
    EXPECT_EQ(answers[1], IDOK);
    auto log = TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].threadId, GetCurrentThreadId());
    EXPECT_EQ(log[0].owner, frame);
    EXPECT_EQ(log[0].caption, "\xd0\xc5\xcf\xa2");
    EXPECT_EQ(log[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    DestroyWindow(frame);
}

TEST_F(MessageBoxTest, WithoutAnAnswerTheDefaultButtonAnswersAtOnce)
{
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_YESNO | MB_DEFBUTTON2), IDNO);
    int fromWorker = 0;
    std::thread([&] { fromWorker = MessageBoxA(nullptr, "text", nullptr, MB_OK); }).join();
    EXPECT_EQ(fromWorker, IDOK);
    auto log = TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].caption, "Error");
}

TEST_F(MessageBoxTest, DefaultButtons)
{
    struct Case {
        UINT type;
        int button;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON3, IDYES}, // no third button: the first
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
        {MB_RETRYCANCEL | MB_ICONHAND, IDRETRY},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tavrin::win::DefaultMessageBoxButton(c.type), c.button) << c.type;
}

TEST_F(MessageBoxTest, BoxOfADestroyedOwnerAnswersZero)
{
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);
    int answer = -1;
    std::thread worker([&] { answer = MessageBoxA(frame, "text", "caption", MB_OK); });
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_SENDMESSAGE);
    DestroyWindow(frame);
    worker.join();
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(TakeMessageBoxLog().empty());
}
