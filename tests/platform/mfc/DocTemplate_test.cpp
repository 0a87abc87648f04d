// A single-document template on fixture resources: it builds the document,
// the frame and the view, opens a file argument through the document
// manager, reports damaged files, and ends the application with its frame.
#include "platform/mfc/Archive.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/WinApp.h"
#include "tests/platform/mfc/FrameworkFixture.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_log;
}

class CFxDoc : public CDocument {
    DECLARE_DYNCREATE(CFxDoc)
public:
    CString m_text;
    LONG m_number = 0;
    static int s_live;
    CFxDoc() { ++s_live; }
    ~CFxDoc() override { --s_live; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_text << m_number;
        else
            ar >> m_text >> m_number;
    }
    void DeleteContents() override
    {
        m_text.Empty();
        m_number = 0;
    }
};
IMPLEMENT_DYNCREATE(CFxDoc, CDocument)
int CFxDoc::s_live = 0;

class CFxView : public CView {
    DECLARE_DYNCREATE(CFxView)
public:
    int m_initialUpdates = 0;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        ++m_initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnAction() { g_log.push_back("view action"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CFxView, CView)
BEGIN_MESSAGE_MAP(CFxView, CView)
    ON_COMMAND(ID_FIXTURE_ACTION, OnAction)
END_MESSAGE_MAP()

class CFxFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CFxFrame)
public:
    void OnAction() { g_log.push_back("frame action"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CFxFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CFxFrame, CFrameWnd)
    ON_COMMAND(ID_FIXTURE_ACTION, OnAction)
END_MESSAGE_MAP()

namespace {

class CFxApp : public CWinApp {
public:
    CFxApp() : CWinApp("Fixture") { m_nCmdShow = SW_HIDE; }
    ~CFxApp() override
    {
        if (HWND h = AfxHwndOf(m_pMainWnd))
            ::DestroyWindow(h);
        tavrin::test::DrainMessages();
    }
    void AddTemplate()
    {
        AddDocTemplate(new CSingleDocTemplate(IDR_DOCFRAME, RUNTIME_CLASS(CFxDoc), RUNTIME_CLASS(CFxFrame),
                                              RUNTIME_CLASS(CFxView)));
    }
};

class DocTemplateTest : public tavrin::test::FrameworkResources {
protected:
    void SetUp() override
    {
        FrameworkResources::SetUp();
        g_log.clear();
    }
};

CDocTemplate* OnlyTemplate(CWinApp& app)
{
    POSITION pos = app.m_pDocManager->GetFirstDocTemplatePosition();
    return app.m_pDocManager->GetNextDocTemplate(pos);
}

std::string WindowText(HWND h)
{
    char text[256] = {};
    ::GetWindowTextA(h, text, sizeof text);
    return text;
}

std::string WriteDocument(const tavrin::test::TempDir& dir, const char* name, const char* text, LONG number)
{
    std::string path = (dir.Path() / name).string();
    CFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << CString(text) << number;
    ar.Close();
    file.Close();
    return path;
}

} // namespace

TEST_F(DocTemplateTest, TheDocumentStringSplitsIntoItsParts)
{
    CFxApp app;
    app.AddTemplate();
    CDocTemplate* pTemplate = OnlyTemplate(app);
    struct Case {
        CDocTemplate::DocStringIndex index;
        const char* text;
    };
    const Case cases[] = {
        {CDocTemplate::windowTitle, "Fixture"},
        {CDocTemplate::docName, ""},
        {CDocTemplate::fileNewName, "Fixture"},
        {CDocTemplate::filterName, "Fixture Files (*.fxd)"},
        {CDocTemplate::filterExt, ".fxd"},
        {CDocTemplate::regFileTypeId, "Fixture.Document"},
        {CDocTemplate::regFileTypeName, "Fixture Document"},
    };
    for (const Case& c : cases) {
        CString part;
        EXPECT_EQ(pTemplate->GetDocString(part, c.index), *c.text != '\0') << c.index;
        EXPECT_STREQ(part, c.text) << c.index;
    }
    CString past;
    EXPECT_FALSE(AfxExtractSubString(past, "a\nb", 2));
    EXPECT_TRUE(AfxExtractSubString(past, "a\nb", 1));
    EXPECT_STREQ(past, "b");
}

TEST_F(DocTemplateTest, ANewDocumentBuildsFrameAndViewFromTheResource)
{
    CFxApp app;
    app.AddTemplate();
    CCommandLineInfo info;
    ASSERT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    ASSERT_TRUE(app.ProcessShellCommand(info));

    auto* pFrame = DYNAMIC_DOWNCAST(CFxFrame, app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    auto* pView = DYNAMIC_DOWNCAST(CFxView, pFrame->GetActiveView());
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(pView->GetParent(), pFrame);
    EXPECT_EQ(pView->m_initialUpdates, 1);
    auto* pDoc = DYNAMIC_DOWNCAST(CFxDoc, pFrame->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pView->GetDocument(), pDoc);
    EXPECT_EQ(pDoc->GetDocTemplate(), OnlyTemplate(app));
    // The untitled document's name before the application's.
    EXPECT_EQ(WindowText(pFrame->m_hWnd), "无标题 - Fixture");
    EXPECT_TRUE(pFrame->GetStyle() & FWS_ADDTOTITLE);
    // Menu, accelerators and icon of the resource id.
    CMenu* pMenu = pFrame->GetMenu();
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->GetMenuItemCount(), 2u);
    EXPECT_NE(pFrame->GetDefaultAccelerator(), nullptr);
    char className[64] = {};
    ::GetClassNameA(pFrame->m_hWnd, className, sizeof className);
    WNDCLASSA wc{};
    ASSERT_TRUE(::GetClassInfoA(nullptr, className, &wc));
    EXPECT_NE(wc.hIcon, nullptr);

    // A second new document reuses the one document and frame.
    app.OnFileNew();
    EXPECT_EQ(app.m_pMainWnd, pFrame);
    EXPECT_EQ(CFxDoc::s_live, 1);
}

TEST_F(DocTemplateTest, AFileArgumentOpensThroughTheDocumentManager)
{
    tavrin::test::TempDir dir;
    std::string path = WriteDocument(dir, "class.fxd", "第一班", 42);
    CFxApp app;
    app.AddTemplate();
    std::string arg0 = "tavrin";
    std::vector<char*> argv = {arg0.data(), path.data()};
    CWinApp::SetCommandLine(2, argv.data());
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    ASSERT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    ASSERT_TRUE(app.ProcessShellCommand(info));
    CWinApp::SetCommandLine(0, nullptr);

    auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, app.m_pMainWnd);
    ASSERT_NE(pFrame, nullptr);
    auto* pDoc = DYNAMIC_DOWNCAST(CFxDoc, pFrame->GetActiveDocument());
    ASSERT_NE(pDoc, nullptr);
    EXPECT_STREQ(pDoc->m_text, "第一班");
    EXPECT_EQ(pDoc->m_number, 42);
    EXPECT_STREQ(pDoc->GetPathName(), path.c_str());
    EXPECT_EQ(WindowText(pFrame->m_hWnd), "class.fxd - Fixture");
    // The same file again only brings its document forward.
    EXPECT_EQ(app.OpenDocumentFile(path.c_str()), pDoc);
    EXPECT_EQ(CFxDoc::s_live, 1);
}

TEST_F(DocTemplateTest, ADamagedOrMissingFileIsReportedAndNothingIsOpened)
{
    tavrin::test::TempDir dir;
    std::string good = WriteDocument(dir, "good.fxd", "ok", 1);
    std::string bytes = tavrin::test::TempDir::Read(good);
    std::string shortPath = dir.Write("short.fxd", bytes.substr(0, bytes.size() - 2)).string();
    std::string missing = (dir.Path() / "missing.fxd").string();

    {
        // No document yet: the failed open leaves no frame behind.
        CFxApp app;
        app.AddTemplate();
        EXPECT_EQ(app.OpenDocumentFile(shortPath.c_str()), nullptr);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(CFxDoc::s_live, 0);
        auto boxes = tavrin::win::TakeMessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find("已损坏"), std::string::npos) << boxes[0].text;
    }
    {
        // With a document open, a failed open keeps the open one as it was.
        CFxApp app;
        app.AddTemplate();
        auto* pDoc = DYNAMIC_DOWNCAST(CFxDoc, app.OpenDocumentFile(good.c_str()));
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(app.OpenDocumentFile(missing.c_str()), nullptr);
        EXPECT_STREQ(pDoc->m_text, "ok");
        EXPECT_STREQ(pDoc->GetPathName(), good.c_str());
        auto boxes = tavrin::win::TakeMessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "打开文档失败。");
    }
    EXPECT_EQ(CFxDoc::s_live, 0);
}

TEST_F(DocTemplateTest, ExitClosesTheMainFrameAndEndsTheApplication)
{
    CFxApp app;
    app.AddTemplate();
    CCommandLineInfo info;
    ASSERT_TRUE(app.ProcessShellCommand(info));
    HWND hFrame = AfxHwndOf(app.m_pMainWnd);
    tavrin::test::DrainMessages();
    // Through the frame's routing to the application's handler.
    ::SendMessageA(hFrame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(CFxDoc::s_live, 0);
    EXPECT_TRUE(tavrin::test::DrainMessages());
}

TEST_F(DocTemplateTest, PrintingAndRegistrationEndTheRun)
{
    CFxApp app;
    app.AddTemplate();
    CCommandLineInfo info;
    info.m_nShellCommand = CCommandLineInfo::FilePrint;
    EXPECT_FALSE(app.ProcessShellCommand(info));
    info.m_nShellCommand = CCommandLineInfo::FileNothing;
    EXPECT_TRUE(app.ProcessShellCommand(info));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}
