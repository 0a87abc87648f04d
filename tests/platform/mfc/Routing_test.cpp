// Command routing and message maps: which handler a command, an update
// request, a notification or a window message reaches, and what it answers.
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

// Three targets chained as a frame chains its view and the application:
// each offers the command to the next one first.
class CLeafTarget : public CCmdTarget {
public:
    CCmdTarget* m_pNext = nullptr;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
        return m_pNext ? m_pNext->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
    }
    void OnOpen() { g_calls.push_back("leaf open"); }
    BOOL OnPassOn(UINT id)
    {
        g_calls.push_back("leaf passes " + std::to_string(id));
        return FALSE; // let the next target have it too
    }
    void OnUpdateOpen(CCmdUI* ui) { ui->SetCheck(1); }
    void OnUpdateChained(CCmdUI* ui) { ui->ContinueRouting(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLeafTarget, CCmdTarget)
    ON_COMMAND(100, OnOpen)
    ON_COMMAND_EX(101, OnPassOn)
    ON_UPDATE_COMMAND_UI(100, OnUpdateOpen)
    ON_UPDATE_COMMAND_UI(104, OnUpdateChained)
END_MESSAGE_MAP()

class CMiddleTarget : public CLeafTarget {
public:
    void OnPassed() { g_calls.push_back("middle took 101"); }
    void OnRange(UINT id) { g_calls.push_back("middle range " + std::to_string(id)); }
    void OnUpdateRange(CCmdUI* ui) { ui->Enable(ui->m_nID % 2 == 0); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMiddleTarget, CLeafTarget)
    ON_COMMAND(101, OnPassed)
    ON_COMMAND_RANGE(200, 209, OnRange)
    ON_UPDATE_COMMAND_UI_RANGE(200, 209, OnUpdateRange)
END_MESSAGE_MAP()

class CAppTarget : public CCmdTarget {
public:
    void OnAbout() { g_calls.push_back("app about"); }
    void OnUpdateChained(CCmdUI* ui) { ui->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAppTarget, CCmdTarget)
    ON_COMMAND(102, OnAbout)
    ON_UPDATE_COMMAND_UI(104, OnUpdateChained)
END_MESSAGE_MAP()

// Records what an update handler did, as a bar control would.
class CRecordingCmdUI : public CCmdUI {
public:
    int m_enabled = -1;
    int m_checked = -1;
    void Enable(BOOL bOn) override
    {
        m_enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int nCheck) override { m_checked = nCheck; }
};

struct Chain {
    CLeafTarget leaf;
    CMiddleTarget middle; // a class derived from the leaf's: its map chains to the leaf's
    CAppTarget app;
    Chain()
    {
        leaf.m_pNext = &middle;
        middle.m_pNext = &app;
    }
};

} // namespace

TEST(CommandRouting, CommandsReachTheFirstTargetWithAHandler)
{
    struct Case {
        UINT id;
        BOOL handled;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {100, TRUE, {"leaf open"}},
        // _EX handlers answering FALSE pass the command on; the middle target's
        // own entry comes before the one it inherits.
        {101, TRUE, {"leaf passes 101", "middle took 101"}},
        {102, TRUE, {"app about"}},
        {203, TRUE, {"middle range 203"}},
        {210, FALSE, {}},
        {0, FALSE, {}},
    };
    for (const Case& c : cases) {
        Chain chain;
        g_calls.clear();
        EXPECT_EQ(chain.leaf.OnCmdMsg(c.id, CN_COMMAND, nullptr, nullptr), c.handled) << c.id;
        EXPECT_EQ(g_calls, c.calls) << c.id;
    }
}

TEST(CommandRouting, HandlerQueriesDoNotCallTheHandler)
{
    Chain chain;
    g_calls.clear();
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    EXPECT_TRUE(chain.leaf.OnCmdMsg(102, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &chain.app);
    EXPECT_NE(info.pmf, nullptr);
    EXPECT_TRUE(g_calls.empty());
}

TEST(CommandRouting, UpdateHandlersAndTheDisableRule)
{
    struct Case {
        UINT id;
        BOOL disableIfNoHandler;
        int enabled; // -1: untouched
        int checked;
    };
    const Case cases[] = {
        {100, TRUE, 1, 1},   // an update handler that only checks: enabled because a command handler exists
        {102, TRUE, 1, -1},  // a handler and no update handler: enabled
        {300, TRUE, 0, -1},  // nobody handles it: disabled
        {300, FALSE, -1, -1},
        {204, TRUE, 1, -1},  // the range handler decides by id
        {205, TRUE, 0, -1},
        {104, TRUE, 0, -1},  // the leaf's handler continues routing; the application's decides
    };
    for (const Case& c : cases) {
        Chain chain;
        CRecordingCmdUI ui;
        ui.m_nID = c.id;
        ui.DoUpdate(&chain.leaf, c.disableIfNoHandler);
        EXPECT_EQ(ui.m_enabled, c.enabled) << c.id;
        EXPECT_EQ(ui.m_checked, c.checked) << c.id;
    }
}

TEST(CommandRouting, ReferenceCountsFreeOnTheLastRelease)
{
    static int finals = 0;
    struct CCounted : CCmdTarget {
        void OnFinalRelease() override
        {
            ++finals;
            delete this;
        }
    };
    auto* counted = new CCounted;
    EXPECT_EQ(counted->InternalAddRef(), 2u);
    EXPECT_EQ(counted->ExternalAddRef(), 3u);
    EXPECT_EQ(counted->InternalRelease(), 2u);
    EXPECT_EQ(counted->ExternalRelease(), 1u);
    EXPECT_EQ(finals, 0);
    EXPECT_EQ(counted->InternalRelease(), 0u);
    EXPECT_EQ(finals, 1);
}
