// The customised bars' blob: the property sets of bars and controls, the
// list of bars to save with their popup ids, where the blob goes by size,
// the merge with the program's bars, and hostile blobs.
#include "ToolkitTestSupport.h"

#include "tests/support/TempDir.h"
#include "tests/support/UserConfigScope.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "tests/toolkit/ToolBarTestFrame.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPCommandBarList.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

using tavrin::test::CToolBarTestFrame;
using tavrin::test::ScopedTestTheme;
using tavrin::test::ScopedToolBarResources;

// A button that counts its live objects, so a load is seen to free all it made.
class CCountedButton : public CXTPControlButton {
    DECLARE_SERIAL(CCountedButton)
public:
    CCountedButton() { ++s_nLive; }
    ~CCountedButton() override { --s_nLive; }
    static int s_nLive;
};
int CCountedButton::s_nLive = 0;
IMPLEMENT_SERIAL(CCountedButton, CXTPControlButton, VERSIONABLE_SCHEMA | 8)

namespace {

constexpr const char* kPrefix = "TavrinCommandBars";
constexpr const char* kControlsKey = "Software\\Tavrin\\TavrinApp\\TavrinCommandBars-Controls";

struct App : CWinApp {
    App() : CWinApp("TavrinApp") { SetRegistryKey("Tavrin"); }
};

// An archive exchange that stores with an older schema.
class SchemaArchive : public CXTPPropExchangeArchive {
public:
    SchemaArchive(CArchive& ar, UINT nSchema) : CXTPPropExchangeArchive(ar) { m_nSchema = nSchema; }
};

std::vector<BYTE> Bytes(CMemFile& file)
{
    std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
    return bytes;
}

// The bars of the list stored as a blob.
std::vector<BYTE> StoreList(CXTPCommandBarList& list, CXTPCommandBars* pCommandBars)
{
    CXTPCommandBarsPropExchangeParam param;
    param.pCommandBars = pCommandBars;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        px.m_dwData = &param;
        EXPECT_TRUE(list.DoPropExchange(&px));
        ar.Close();
    }
    return Bytes(file);
}

CXTPControl* AddButton(CXTPControls* pControls, int nID, LPCTSTR lpszCaption)
{
    CXTPControl* pControl = pControls->Add(new CCountedButton, nID);
    pControl->SetCaption(lpszCaption);
    return pControl;
}

// A popup control on the bar opening a new popup bar with one button.
CXTPPopupBar* AddPopup(CXTPCommandBar* pBar, int nID, CXTPCommandBars* pCommandBars)
{
    auto* pPopup = static_cast<CXTPControlPopup*>(pBar->GetControls()->Add(xtpControlPopup, nID));
    CXTPPopupBar* pPopupBar = CXTPPopupBar::CreatePopupBar(pCommandBars);
    AddButton(pPopupBar->GetControls(), nID + 1, "内");
    pPopup->SetCommandBar(pPopupBar);
    pPopupBar->InternalRelease();
    return pPopupBar;
}

class BarBlobTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_config = std::make_unique<tavrin::test::UserConfigScope>();
        m_app = std::make_unique<App>();
        m_pResources = std::make_unique<ScopedToolBarResources>();
        m_pTheme = std::make_unique<ScopedTestTheme>();
        tavrin::win::ClearMessageBoxAnswers();
        tavrin::win::TakeMessageBoxLog();
    }
    void TearDown() override
    {
        CloseFrame();
        tavrin::win::ClearMessageBoxAnswers();
        m_pTheme.reset();
        m_pResources.reset();
        m_app.reset();
        m_config.reset();
        EXPECT_EQ(CCountedButton::s_nLive, 0) << "every loaded control is freed";
        ToolkitTest::TearDown();
    }

    // A frame that allows customisation, with toolbar 128 at the top.
    void OpenFrame()
    {
        CloseFrame();
        m_pFrame = new CToolBarTestFrame;
        m_pFrame->m_bCustomize = TRUE;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "frame", WS_OVERLAPPEDWINDOW, CRect(0, 0, 700, 400)));
        ASSERT_TRUE(m_pFrame->InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)));
        ASSERT_TRUE(Bars()->IsCustomizeAvail());
        Bars()->SetCustomizationDataFileName((m_config->Dir().Path() / "bars.blob").string().c_str());
        m_pStandard = Bars()->Add("标准", xtpBarTop);
        ASSERT_TRUE(m_pStandard && m_pStandard->LoadToolBar(IDT_STANDARD));
        m_pStandard->GetControls()->CreateInitialControls();
    }
    void CloseFrame()
    {
        if (!m_pFrame)
            return;
        if (::IsWindow(m_pFrame->m_hWnd))
            m_pFrame->DestroyWindow();
        delete m_pFrame;
        m_pFrame = nullptr;
    }
    CXTPCommandBars* Bars() const { return m_pFrame->GetCommandBars(); }
    static std::vector<int> Ids(CXTPCommandBar* pBar)
    {
        std::vector<int> ids;
        for (int i = 0; i < pBar->GetControlCount(); ++i)
            ids.push_back(pBar->GetControl(i)->GetID());
        return ids;
    }
    // A blob holding one toolbar of the id with the given buttons; its
    // reference copy is a copy of pOriginal, else the original buttons.
    std::vector<BYTE> ToolbarBlob(UINT nBarID, std::vector<int> ids, std::vector<int> original,
                                  CXTPControls* pOriginal = nullptr)
    {
        auto* pBar = new CXTPToolBar;
        pBar->SetBarID(nBarID);
        pBar->SetTitle("存");
        for (int nID : original)
            AddButton(pBar->GetControls(), nID, "原");
        pBar->GetControls()->CreateInitialControls();
        if (pOriginal)
            pBar->GetControls()->SetOriginalControls(pOriginal->Duplicate(TRUE));
        pBar->GetControls()->RemoveAll();
        for (int nID : ids)
            AddButton(pBar->GetControls(), nID, "新");
        CXTPCommandBarList list;
        list.Add(pBar);
        pBar->InternalRelease();
        return StoreList(list, nullptr);
    }

    std::unique_ptr<tavrin::test::UserConfigScope> m_config;
    std::unique_ptr<App> m_app;
    std::unique_ptr<ScopedToolBarResources> m_pResources;
    std::unique_ptr<ScopedTestTheme> m_pTheme;
    CToolBarTestFrame* m_pFrame = nullptr;
    CXTPToolBar* m_pStandard = nullptr;
};

} // namespace

TEST_F(BarBlobTest, RegistryKeepsOnlyValuesThatDifferTheArchiveWritesAll)
{
    // Ids without a prompt string, so no tooltip or description is loaded.
    auto* pButton = new CXTPControlButton;
    pButton->SetID(4242);
    pButton->SetCaption("打开");
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Button", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
        CXTPPropExchangeRegistry px(FALSE, HKEY_CURRENT_USER, "Software\\Tavrin\\Button");
        pButton->DoPropExchange(&px);
    }
    std::set<std::string> names;
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tavrin\\Button", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    for (DWORD i = 0;; ++i) {
        char name[128];
        DWORD size = sizeof(name);
        if (RegEnumValueA(hKey, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(std::string(name, size));
    }
    RegCloseKey(hKey);
    EXPECT_EQ(names, (std::set<std::string>{"Id", "Caption"}));

    // Through an archive every value is written: a button with other
    // numbers but the same texts takes exactly as many bytes.
    auto store = [](CXTPControl* pControl) {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        CXTPPropExchangeArchive px(ar);
        pControl->DoPropExchange(&px);
        ar.Close();
        return Bytes(file);
    };
    auto* pOther = new CXTPControlButton;
    pOther->SetID(7);
    pOther->SetCaption("打开");
    pOther->SetFlags(0x55);
    pOther->SetBeginGroup(TRUE);
    pOther->SetStyle(3);
    const std::vector<BYTE> plain = store(pButton), other = store(pOther);
    EXPECT_EQ(plain.size(), other.size());
    EXPECT_NE(plain, other);
    // And they load back.
    CMemFile file(const_cast<BYTE*>(other.data()), static_cast<UINT>(other.size()));
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    auto* pLoaded = new CXTPControlButton;
    pLoaded->DoPropExchange(&px);
    EXPECT_EQ(pLoaded->GetID(), 7);
    EXPECT_EQ(pLoaded->GetFlags(), 0x55u);
    EXPECT_TRUE(pLoaded->GetBeginGroup());
    EXPECT_EQ(pLoaded->GetStyle(), 3);
    EXPECT_EQ(pLoaded->GetCaption(), CString("打开"));
    for (CXTPControl* p : {static_cast<CXTPControl*>(pButton), static_cast<CXTPControl*>(pOther), static_cast<CXTPControl*>(pLoaded)})
        p->InternalRelease();
}

TEST_F(BarBlobTest, AnOlderSchemaGatesTheNewerToolbarValues)
{
    struct Case {
        UINT nSchema;
        BOOL bStoredCloseable; // read from the stream, else the new bar's own
        BOOL bStoredContextMenu;
    };
    const Case cases[] = {{8, TRUE, TRUE}, {7, TRUE, FALSE}, {6, FALSE, FALSE}};
    auto* pFresh = new CXTPToolBar;
    const BOOL bNewCloseable = pFresh->IsCloseable(), bNewContextMenu = pFresh->IsContextMenuPresent();
    pFresh->InternalRelease();
    CRuntimeClass* pClass = RUNTIME_CLASS(CXTPToolBar);
    const UINT nCurrent = pClass->m_wSchema;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nSchema);
        auto* pBar = new CXTPToolBar;
        pBar->SetBarID(300);
        pBar->SetCloseable(!bNewCloseable);
        pBar->SetContextMenuPresent(!bNewContextMenu);
        CMemFile file;
        pClass->m_wSchema = VERSIONABLE_SCHEMA | c.nSchema;
        {
            CArchive ar(&file, CArchive::store);
            SchemaArchive px(ar, c.nSchema);
            CObject* pObject = pBar;
            px.ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPCommandBar));
            pBar->DoPropExchange(&px);
            ar.Close();
        }
        pClass->m_wSchema = nCurrent;
        pBar->InternalRelease();
        std::vector<BYTE> bytes = Bytes(file);
        CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&in, CArchive::load);
        CXTPPropExchangeArchive px(ar);
        CObject* pObject = nullptr;
        ASSERT_TRUE(px.ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPCommandBar)));
        auto* pLoaded = static_cast<CXTPToolBar*>(pObject);
        EXPECT_EQ(px.GetSchema(), c.nSchema);
        pLoaded->DoPropExchange(&px);
        EXPECT_EQ(pLoaded->GetBarID(), 300u);
        EXPECT_EQ(pLoaded->IsCloseable(), c.bStoredCloseable ? !bNewCloseable : bNewCloseable);
        EXPECT_EQ(pLoaded->IsContextMenuPresent(), c.bStoredContextMenu ? !bNewContextMenu : bNewContextMenu);
        EXPECT_EQ(in.GetPosition(), in.GetLength()) << "the whole stream is read";
        pLoaded->InternalRelease();
    }
}

TEST_F(BarBlobTest, PopupBarsGetIdsInListOrderAndUnchangedBarsAreSkipped)
{
    OpenFrame();
    CXTPCommandBarsPropExchangeParam param;
    {
        CXTPCommandBarList list;
        tavrin::commandbars::GenerateCommandBarList(Bars(), list, param);
        EXPECT_EQ(list.GetCount(), 0) << "the program's own bar, unchanged";
    }
    CXTPPopupBar* pFirst = AddPopup(m_pStandard, 500, Bars());
    CXTPPopupBar* pSecond = AddPopup(m_pStandard, 600, Bars());
    CXTPCommandBarList list;
    tavrin::commandbars::GenerateCommandBarList(Bars(), list, param);
    // The toolbar, the popups of its controls in order (the two split
    // buttons', then the new ones), then those of its reference copy.
    ASSERT_EQ(list.GetCount(), 7);
    EXPECT_EQ(list.GetAt(0), m_pStandard);
    EXPECT_EQ(list.GetAt(3), pFirst);
    EXPECT_EQ(list.GetAt(4), pSecond);
    for (int i = 1; i < list.GetCount(); ++i)
        EXPECT_EQ(list.GetAt(i)->GetBarID(), 0x1000000u + static_cast<UINT>(i - 1)) << i;
    EXPECT_EQ(m_pStandard->GetBarID(), static_cast<UINT>(IDT_STANDARD)) << "a toolbar keeps its id";
}

TEST_F(BarBlobTest, LinksFollowPendingIdsAndAnUnknownIdLeavesNoPopup)
{
    auto* pBar = new CXTPToolBar;
    pBar->SetBarID(300);
    auto* pKnown = static_cast<CXTPControlPopup*>(pBar->GetControls()->Add(xtpControlPopup, 1));
    auto* pUnknown = static_cast<CXTPControlPopup*>(pBar->GetControls()->Add(xtpControlPopup, 2));
    auto* pPopupBar = new CXTPPopupBar;
    pPopupBar->SetBarID(0x1000000);
    pKnown->m_nPendingBarID = 0x1000000;
    pUnknown->m_nPendingBarID = 0x1000005;
    CXTPCommandBarList list;
    list.Add(pBar);
    list.Add(pPopupBar);
    pBar->InternalRelease();
    pPopupBar->InternalRelease();
    ASSERT_TRUE(tavrin::commandbars::RestoreCommandBarLinks(list));
    EXPECT_EQ(pKnown->GetCommandBar(), pPopupBar);
    EXPECT_EQ(pUnknown->GetCommandBar(), nullptr);
    EXPECT_EQ(pUnknown->m_nPendingBarID, 0u);
}

TEST_F(BarBlobTest, SizeDecidesBetweenRegistryAndFile)
{
    OpenFrame();
    CXTPControl* pLong = AddButton(m_pStandard->GetControls(), 900, "x");
    auto blobSize = [&](int nCaption) {
        pLong->SetCaption(CString(std::string(static_cast<size_t>(nCaption), 'a').c_str()));
        Bars()->SaveBarState(kPrefix);
        HKEY hKey = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kControlsKey, 0, KEY_READ, &hKey), ERROR_SUCCESS);
        DWORD type = 0, size = 0;
        RegQueryValueExA(hKey, "Controls", nullptr, &type, nullptr, &size);
        RegCloseKey(hKey);
        return std::make_pair(type, size);
    };
    const auto base = blobSize(1000);
    ASSERT_EQ(base.first, static_cast<DWORD>(REG_BINARY));
    const int nExact = 1000 + (16000 - static_cast<int>(base.second));
    const auto exact = blobSize(nExact);
    EXPECT_EQ(exact.first, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(exact.second, 16000u);
    EXPECT_EQ(m_app->GetProfileInt("TavrinCommandBars-Controls", "LoadFromFile", 9), 0u);

    const auto over = blobSize(nExact + 1);
    EXPECT_EQ(over.first, static_cast<DWORD>(REG_SZ));
    const std::filesystem::path blob = m_config->Dir().Path() / "bars.blob";
    EXPECT_EQ(m_app->GetProfileString("TavrinCommandBars-Controls", "Controls"), CString(blob.string().c_str()));
    EXPECT_EQ(m_app->GetProfileInt("TavrinCommandBars-Controls", "LoadFromFile", 9), 1u);
    ASSERT_TRUE(std::filesystem::exists(blob));
    EXPECT_EQ(std::filesystem::file_size(blob), 16001u);

    // A new frame loads the customised bar back from the file.
    OpenFrame();
    Bars()->LoadBarState(kPrefix);
    CXTPControl* pLoaded = m_pStandard->GetControls()->FindControl(900);
    ASSERT_TRUE(pLoaded);
    EXPECT_EQ(pLoaded->GetCaption().GetLength(), nExact + 1);

    // Back under the limit: the registry holds it and the file goes.
    OpenFrame();
    AddButton(m_pStandard->GetControls(), 901, "b");
    Bars()->SaveBarState(kPrefix);
    EXPECT_EQ(m_app->GetProfileInt("TavrinCommandBars-Controls", "LoadFromFile", 9), 0u);
    EXPECT_FALSE(std::filesystem::exists(blob));
}

TEST_F(BarBlobTest, AFailedFileWriteKeepsThePreviousLayout)
{
    OpenFrame();
    AddButton(m_pStandard->GetControls(), 900, std::string(17000, 'a').c_str());
    Bars()->SaveBarState(kPrefix);
    ASSERT_EQ(m_app->GetProfileInt("TavrinCommandBars-Controls", "LoadFromFile", 9), 1u);
    const CString strFirst = m_app->GetProfileString("TavrinCommandBars-Controls", "Controls");
    // The next save cannot write its file: a folder stands at the new name.
    const std::filesystem::path blocked = m_config->Dir().Path() / "blocked";
    std::filesystem::create_directories(blocked / "inside");
    Bars()->SetCustomizationDataFileName(blocked.string().c_str());
    AddButton(m_pStandard->GetControls(), 901, "b");
    Bars()->SaveBarState(kPrefix);
    EXPECT_EQ(m_app->GetProfileString("TavrinCommandBars-Controls", "Controls"), strFirst);
    EXPECT_EQ(m_app->GetProfileInt("TavrinCommandBars-Controls", "LoadFromFile", 9), 1u);
    EXPECT_TRUE(std::filesystem::exists(std::string(strFirst)));
}

TEST_F(BarBlobTest, MergeWithTheProgramsBars)
{
    struct Case {
        const char* what;
        UINT nBarID;
        BOOL bSameOriginal; // the stored reference copy equals the program's
        BOOL bSilent;
        int nAnswer; // 0: no question expected
        BOOL bLoadedControls;
    };
    const Case cases[] = {
        {"equal reference copies", IDT_STANDARD, TRUE, FALSE, 0, TRUE},
        {"changed bar, No keeps the customisation", IDT_STANDARD, FALSE, FALSE, IDNO, TRUE},
        {"changed bar, Yes takes the program's bar", IDT_STANDARD, FALSE, FALSE, IDYES, FALSE},
        {"changed bar, silent", IDT_STANDARD, FALSE, TRUE, 0, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OpenFrame();
        const std::vector<int> before = Ids(m_pStandard);
        CXTPControls* pProgram = m_pStandard->GetControls()->GetOriginalControls();
        const int nProgram = pProgram->GetCount();
        std::vector<BYTE> blob = ToolbarBlob(c.nBarID, {77, 78}, {1, 2}, c.bSameOriginal ? pProgram : nullptr);
        if (c.nAnswer)
            tavrin::win::QueueMessageBoxAnswer(c.nAnswer);
        ASSERT_TRUE(Bars()->LoadCustomizedBars(blob.data(), blob.size(), c.bSilent));
        const auto log = tavrin::win::TakeMessageBoxLog();
        EXPECT_EQ(log.size(), c.nAnswer ? 1u : 0u);
        EXPECT_EQ(Ids(m_pStandard), c.bLoadedControls ? (std::vector<int>{77, 78}) : before);
        EXPECT_EQ(Bars()->GetCount(), 1);
        ASSERT_TRUE(m_pStandard->GetControls()->GetOriginalControls());
        EXPECT_EQ(m_pStandard->GetControls()->GetOriginalControls()->GetCount(), nProgram)
            << "the program's reference copy stays";
    }
    {
        SCOPED_TRACE("a bar the program does not have is appended");
        OpenFrame();
        std::vector<BYTE> blob = ToolbarBlob(4321, {77}, {});
        ASSERT_TRUE(Bars()->LoadCustomizedBars(blob.data(), blob.size(), FALSE));
        ASSERT_EQ(Bars()->GetCount(), 2);
        CXTPCommandBar* pAdded = Bars()->GetToolBar(4321);
        ASSERT_TRUE(pAdded);
        EXPECT_EQ(Ids(pAdded), std::vector<int>{77});
        EXPECT_EQ(pAdded->GetPosition(), xtpBarTop);
    }
}

TEST_F(BarBlobTest, HostileBlobsFailWithNothingMerged)
{
    OpenFrame();
    // A popup bar whose control opens that same bar, directly or through a submenu.
    auto selfLinked = [&](bool bThroughSubmenu) {
        auto* pBar = new CXTPToolBar;
        pBar->SetBarID(IDT_STANDARD);
        AddButton(pBar->GetControls(), 55, "新");
        CXTPPopupBar* pPopupBar = AddPopup(pBar, 700, nullptr);
        pPopupBar->SetBarID(0x1000000);
        CXTPPopupBar* pInner = pPopupBar;
        if (bThroughSubmenu) {
            pInner = AddPopup(pPopupBar, 800, nullptr);
            pInner->SetBarID(0x1000001);
        }
        auto* pLoop = static_cast<CXTPControlPopup*>(pInner->GetControls()->Add(xtpControlPopup, 900));
        pLoop->SetCommandBar(pPopupBar);
        CXTPCommandBarList list;
        list.Add(pBar);
        list.Add(pPopupBar);
        list.Add(pInner);
        pBar->InternalRelease();
        std::vector<BYTE> bytes = StoreList(list, nullptr);
        pLoop->SetCommandBar(nullptr); // the test's own cycle goes before the release
        return bytes;
    };
    std::vector<BYTE> good = ToolbarBlob(IDT_STANDARD, {77, 78}, {});
    // The blob starts with the count of bars as a 16-bit number; the long
    // form is 0xFFFF and 32 bits.
    ASSERT_GE(good.size(), 2u);
    ASSERT_EQ(good[0], 1);
    ASSERT_EQ(good[1], 0);
    std::vector<BYTE> hugeCount = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    hugeCount.insert(hugeCount.end(), good.begin() + 2, good.end());
    struct Case {
        const char* what;
        std::vector<BYTE> blob;
    };
    const Case cases[] = {
        {"a popup linking to its own bar", selfLinked(false)},
        {"a popup linking to its bar through a submenu", selfLinked(true)},
        {"cut in the middle of a bar", std::vector<BYTE>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2))},
        {"cut before its last byte", std::vector<BYTE>(good.begin(), good.end() - 1)},
        {"a count of 0x7FFFFFFF bars", hugeCount},
    };
    const std::vector<int> before = Ids(m_pStandard);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(Bars()->LoadCustomizedBars(c.blob.data(), c.blob.size(), TRUE));
        EXPECT_EQ(Ids(m_pStandard), before);
        EXPECT_EQ(Bars()->GetCount(), 1);
        EXPECT_EQ(CCountedButton::s_nLive, 0);
    }
    // A good blob behind more than 16 MB of padding is not read at all.
    std::vector<BYTE> oversized = good;
    oversized.resize(tavrin::commandbars::kMaxBlobSize + 1, 0);
    EXPECT_FALSE(Bars()->LoadCustomizedBars(oversized.data(), oversized.size(), TRUE));
    EXPECT_EQ(Ids(m_pStandard), before);
    EXPECT_TRUE(Bars()->LoadCustomizedBars(good.data(), good.size(), TRUE));
    EXPECT_EQ(Ids(m_pStandard), (std::vector<int>{77, 78}));
}
