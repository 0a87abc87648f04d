// The framework's fixture resources as the resource handle for one test.
#pragma once

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Resource.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ResourceTable.h"
#include "platform/win/User.h"

#include <gtest/gtest.h>

const tavrin::win::ResourceTable& TavrinMfcFixtureResources();

namespace tavrin::test {

// Dispatches what the thread's queue holds; true when a WM_QUIT was in it.
inline bool DrainMessages()
{
    MSG msg;
    bool quit = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quit = true;
        else
            ::DispatchMessageA(&msg);
    }
    return quit;
}

class FrameworkResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = tavrin::win::CreateResourceModule(TavrinMfcFixtureResources());
        ASSERT_NE(m_module, nullptr);
        AfxSetResourceHandle(m_module);
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::TakeMessageBoxLog();
    }
    void TearDown() override
    {
        AfxSetResourceHandle(nullptr);
        tavrin::win::DestroyResourceModule(m_module);
        tavrin::win::ClearMessageBoxAnswers();
    }
    HMODULE m_module = nullptr;
};

// The fixture resources and a hidden plain frame for the views under test;
// the frame (which frees itself) goes at the end if the test left it.
class FramedTest : public FrameworkResources {
protected:
    void SetUp() override
    {
        FrameworkResources::SetUp();
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, "views", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 400)));
        frameWnd = frame->m_hWnd;
    }
    void TearDown() override
    {
        if (::IsWindow(frameWnd))
            ::DestroyWindow(frameWnd);
        DrainMessages();
        FrameworkResources::TearDown();
    }
    CFrameWnd* frame = nullptr;
    HWND frameWnd = nullptr;
};

} // namespace tavrin::test
