#include "SelfProcess.h"
#include "TestWindow.h"

#include "platform/base/Clock.h"
#include "platform/win/Atom.h"
#include "platform/win/Broadcast.h"
#include "platform/win/NamedMutex.h"
#include "platform/win/Privilege.h"
#include "platform/win/UserFolder.h"
#include "platform/win/WindowQuery.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using tavrin::test::ChildArgument;
using tavrin::test::ChildProcess;
using tavrin::test::CreateRecorderWindow;
using tavrin::test::Received;
using tavrin::test::Recorder;
using tavrin::test::StartSelf;
using tavrin::test::TempDir;

namespace {

const char kName[] = "{6A97833C-7441-4711-B96A-B9D28D4B4DF9}";

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { tavrin::win::SetUserConfigFolder(m_dir.Path().string()); }
    void TearDown() override { tavrin::win::SetUserConfigFolder(""); }

    // Pumps this thread's messages until the recorder saw the message.
    bool WaitFor(Recorder& recorder, UINT message, Received& got)
    {
        const int64_t deadline = tavrin::clock::NowMs() + 20000;
        while (tavrin::clock::NowMs() < deadline) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            for (const Received& r : recorder.Take()) {
                if (r.message == message) {
                    got = r;
                    return true;
                }
            }
        }
        return false;
    }

    TempDir m_dir;
};

} // namespace

TEST_F(SingleInstanceTest, SecondCopyWithoutArgumentWakesTheFirst)
{
    const UINT message = RegisterWindowMessageA(kName);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);

    ChildProcess second;
    ASSERT_TRUE(StartSelf(second, "SingleInstanceChild.SecondCopy", {{"FOLDER", m_dir.Path().string()}}));
    EXPECT_NE(second.WaitForLine("second:").find("second: exists=1 result=1"), std::string::npos)
        << second.Output();
    Received got{};
    ASSERT_TRUE(WaitFor(recorder, message, got));
    EXPECT_EQ(got.wParam, 0u);
    EXPECT_EQ(got.lParam, 0);
    DestroyWindow(frame);
    CloseHandle(mutex);
}

TEST_F(SingleInstanceTest, FileArgumentTravelsInAnAtom)
{
    const UINT message = RegisterWindowMessageA(kName);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);
    const std::string file = "C:\\docs\\\xb0\xe0\xbc\xb6.txt";

    ChildProcess second;
    ASSERT_TRUE(StartSelf(second, "SingleInstanceChild.SecondCopy",
                          {{"FOLDER", m_dir.Path().string()}, {"FILE", file}}));
    EXPECT_NE(second.WaitForLine("second:").find("exists=1 result=1"), std::string::npos) << second.Output();
    Received got{};
    ASSERT_TRUE(WaitFor(recorder, message, got));
    char name[256] = {};
    ASSERT_EQ(GlobalGetAtomNameA(static_cast<ATOM>(got.wParam), name, 256), file.size());
    EXPECT_EQ(std::string(name), file);
    EXPECT_EQ(GlobalDeleteAtom(static_cast<ATOM>(got.wParam)), 0);
    DestroyWindow(frame);
    CloseHandle(mutex);
}

TEST_F(SingleInstanceTest, KilledFirstCopyLeavesNoLockBehind)
{
    ChildProcess first;
    ASSERT_TRUE(StartSelf(first, "SingleInstanceChild.HoldsTheMutex", {{"FOLDER", m_dir.Path().string()}}));
    ASSERT_NE(first.WaitForLine("holding").find("holding"), std::string::npos) << first.Output();
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandle(mutex);

    first.Stop();
    mutex = CreateMutexA(nullptr, FALSE, kName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the killed copy's lock is gone";
    // Its socket is left behind; the next broadcast clears it away.
    const UINT message = RegisterWindowMessageA(kName);
    EXPECT_GT(BroadcastSystemMessageA(BSF_POSTMESSAGE | BSF_IGNORECURRENTTASK, nullptr, message, 0, 0), 0);
    size_t sockets = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path() / "instances"))
        sockets += entry.path().extension() == ".sock";
    EXPECT_EQ(sockets, 1u) << "only this copy's own socket is left";
    CloseHandle(mutex);
}

TEST_F(SingleInstanceTest, BroadcastReachesThisProcessUnlessIgnored)
{
    const UINT message = RegisterWindowMessageA("TavrinBroadcastTest");
    Recorder recorder;
    HWND frame = CreateRecorderWindow(&recorder);
    DWORD recipients = BSM_APPLICATIONS;
    EXPECT_GT(BroadcastSystemMessageA(BSF_POSTMESSAGE | BSF_IGNORECURRENTTASK, &recipients, message, 5, 6), 0);
    EXPECT_GT(BroadcastSystemMessageA(BSF_POSTMESSAGE, &recipients, message, 7, 8), 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    std::vector<WPARAM> seen;
    for (const Received& r : recorder.Take())
        if (r.message == message)
            seen.push_back(r.wParam);
    EXPECT_EQ(seen, std::vector<WPARAM>{7});
    EXPECT_EQ(BroadcastSystemMessageA(BSF_POSTMESSAGE, &recipients, 0xC000 + 0x3FFF, 0, 0), -1)
        << "an unregistered id has no name to travel by";
    DestroyWindow(frame);
}

TEST(SingleInstanceChild, SecondCopy)
{
    const std::string folder = ChildArgument("FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "runs as a second process only";
    tavrin::win::SetUserConfigFolder(folder);
    const UINT message = RegisterWindowMessageA(kName);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
    const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
    long result = 0;
    if (exists) {
        const std::string file = ChildArgument("FILE");
        const WPARAM wParam = file.empty() ? 0 : GlobalAddAtomA(file.c_str());
        DWORD recipients = BSM_APPLICATIONS;
        result = BroadcastSystemMessageA(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE | BSF_FORCEIFHUNG, &recipients,
                                         message, wParam, 0);
    }
    printf("second: exists=%d result=%ld\n", exists ? 1 : 0, result);
    fflush(stdout);
    CloseHandle(mutex);
}

TEST(SingleInstanceChild, HoldsTheMutex)
{
    const std::string folder = ChildArgument("FOLDER");
    if (folder.empty())
        GTEST_SKIP() << "runs as a second process only";
    tavrin::win::SetUserConfigFolder(folder);
    CreateMutexA(nullptr, TRUE, kName);
    printf("holding\n");
    fflush(stdout);
    for (;;)
        pause(); // until killed
}

TEST(Mutex, OwnershipAndNamesWithinTheProcess)
{
    TempDir dir;
    tavrin::win::SetUserConfigFolder(dir.Path().string());
    HANDLE owned = CreateMutexA(nullptr, TRUE, nullptr);
    bool releasedElsewhere = true;
    std::thread([&] { releasedElsewhere = ReleaseMutex(owned); }).join();
    EXPECT_FALSE(releasedElsewhere);
    EXPECT_TRUE(ReleaseMutex(owned));
    EXPECT_FALSE(ReleaseMutex(owned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    CloseHandle(owned);

    HANDLE a = CreateMutexA(nullptr, FALSE, "TavrinOne");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE b = CreateMutexA(nullptr, TRUE, "TavrinOne");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(ReleaseMutex(b)) << "the initial owner is ignored for an existing name";
    CloseHandle(a);
    CloseHandle(b);
    HANDLE c = CreateMutexA(nullptr, FALSE, "TavrinOne");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the last handle closed the mutex";
    CloseHandle(c);
    tavrin::win::SetUserConfigFolder("");
}

TEST(Atom, TableRules)
{
    const ATOM a = GlobalAddAtomA("TavrinAtom");
    ASSERT_GE(a, 0xC000);
    EXPECT_EQ(GlobalAddAtomA("tavrinatom"), a) << "names ignore case";
    EXPECT_EQ(GlobalFindAtomA("TAVRINATOM"), a);
    char name[8];
    EXPECT_EQ(GlobalGetAtomNameA(a, name, sizeof name), 7u);
    EXPECT_STREQ(name, "TavrinA");
    EXPECT_EQ(GlobalDeleteAtom(a), 0);
    EXPECT_EQ(GlobalFindAtomA("TavrinAtom"), a) << "still referenced once";
    EXPECT_EQ(GlobalDeleteAtom(a), 0);
    EXPECT_EQ(GlobalFindAtomA("TavrinAtom"), 0);
    EXPECT_EQ(GlobalDeleteAtom(a), a);
    EXPECT_EQ(GlobalAddAtomA("#123"), 123);
    EXPECT_EQ(GlobalGetAtomNameA(123, name, sizeof name), 4u);
    EXPECT_STREQ(name, "#123");
    EXPECT_EQ(GlobalAddAtomA(std::string(256, 'x').c_str()), 0);
    EXPECT_EQ(GlobalAddAtomA(""), 0);
}

TEST(Privilege, TcbPrivilegeCannotBeEnabled)
{
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
    TOKEN_PRIVILEGES tp{};
    EXPECT_FALSE(LookupPrivilegeValueA(nullptr, SE_TCB_NAME, &tp.Privileges[0].Luid));
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const BOOL adjusted = AdjustTokenPrivileges(token, FALSE, &tp, sizeof tp, nullptr, nullptr);
    EXPECT_FALSE(adjusted && GetLastError() == ERROR_SUCCESS);
    EXPECT_TRUE(CloseHandle(token));
}
