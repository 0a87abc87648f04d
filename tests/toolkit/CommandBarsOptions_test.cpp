// The command bars' options: the registry form of the user options, the
// archive form of the whole set, and the stored command maps.
#include "ToolkitTestSupport.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "tests/support/UserConfigScope.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPPropExchange.h"

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kOptionsKey = "Software\\Tavrin\\TavrinApp\\TavrinCommandBars-Options";

struct App : CWinApp {
    App() : CWinApp("TavrinApp") { SetRegistryKey("Tavrin"); }
};

std::set<UINT> Keys(const CXTPCommandMap& map)
{
    std::set<UINT> keys;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        UINT nID = 0;
        BOOL bValue = FALSE;
        map.GetNextAssoc(pos, nID, bValue);
        keys.insert(nID);
    }
    return keys;
}

std::vector<BYTE> Words(std::initializer_list<DWORD> words)
{
    std::vector<BYTE> bytes(words.size() * 4);
    std::memcpy(bytes.data(), std::data(words), bytes.size());
    return bytes;
}

class CommandBarsOptionsTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        m_config = std::make_unique<tavrin::test::UserConfigScope>();
        m_app = std::make_unique<App>();
    }
    void TearDown() override
    {
        m_app.reset();
        m_config.reset();
        ToolkitTest::TearDown();
    }

    static std::unique_ptr<CXTPCommandBars, void (*)(CXTPCommandBars*)> NewManager()
    {
        return {new CXTPCommandBars, [](CXTPCommandBars* p) { p->InternalRelease(); }};
    }
    // Names of the values under the options key; empty when there is no key.
    static std::vector<std::string> StoredNames()
    {
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return names;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD size = sizeof(name);
            if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.emplace_back(name, size);
        }
        RegCloseKey(key);
        return names;
    }
    static void SetRaw(const char* name, DWORD type, const std::vector<BYTE>& data)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void SetLong(const char* name, DWORD value) { SetRaw(name, REG_DWORD, Words({value})); }

    std::unique_ptr<tavrin::test::UserConfigScope> m_config;
    std::unique_ptr<App> m_app;
};

} // namespace

TEST_F(CommandBarsOptionsTest, UntouchedOptionsStoreNoValue)
{
    auto bars = NewManager();
    bars->SaveOptions("TavrinCommandBars");
    EXPECT_TRUE(StoredNames().empty());
    // A changed option is the one value stored.
    bars->GetOptions()->bAlwaysShowFullMenus = FALSE;
    bars->SaveOptions("TavrinCommandBars");
    EXPECT_EQ(StoredNames(), (std::vector<std::string>{"AlwaysShowFullMenus"}));
}

TEST_F(CommandBarsOptionsTest, UserOptionsRoundTripAndOnlyThey)
{
    auto bars = NewManager();
    CXTPCommandBarsOptions* pOptions = bars->GetOptions();
    pOptions->bShowFullAfterDelay = FALSE;
    pOptions->bToolBarAccelTips = TRUE;
    pOptions->bLargeIcons = TRUE;
    pOptions->animationType = 3;
    pOptions->bDblClickFloat = TRUE; // not a user option
    pOptions->szPopupIcons = CSize(20, 20);
    bars->SaveOptions("TavrinCommandBars");

    auto loaded = NewManager();
    CXTPCommandBarsOptions* pLoaded = loaded->GetOptions();
    pLoaded->bToolBarScreenTips = FALSE; // no stored value: kept, not reset
    loaded->LoadOptions("TavrinCommandBars");
    EXPECT_FALSE(pLoaded->bShowFullAfterDelay);
    EXPECT_TRUE(pLoaded->bToolBarAccelTips);
    EXPECT_TRUE(pLoaded->bLargeIcons);
    EXPECT_EQ(pLoaded->animationType, 3);
    EXPECT_FALSE(pLoaded->bToolBarScreenTips);
    EXPECT_FALSE(pLoaded->bDblClickFloat);
    EXPECT_EQ(pLoaded->szPopupIcons, CSize(16, 16));
}

TEST_F(CommandBarsOptionsTest, AUsedHiddenCommandSurvivesARestart)
{
    {
        auto bars = NewManager();
        bars->GetOptions()->m_mapHiddenCommands.SetAt(100, TRUE);
        bars->GetOptions()->m_mapHiddenCommands.SetAt(200, TRUE);
        bars->SetCommandUsed(100);
        bars->SetCommandUsed(300); // not hidden: not recorded
        EXPECT_EQ(Keys(bars->GetOptions()->m_mapUsedCommands), (std::set<UINT>{100}));
        bars->SaveOptions("TavrinCommandBars");
    }
    // The registry is read again from its file, as at the next start.
    tavrin::win::ReloadRegistry();
    auto bars = NewManager();
    bars->GetOptions()->m_mapHiddenCommands.SetAt(100, TRUE);
    bars->GetOptions()->m_mapHiddenCommands.SetAt(200, TRUE);
    EXPECT_TRUE(bars->IsCommandHidden(100));
    bars->LoadOptions("TavrinCommandBars");
    EXPECT_FALSE(bars->IsCommandHidden(100));
    EXPECT_TRUE(bars->IsCommandHidden(200));
    EXPECT_FALSE(bars->IsCommandHidden(300));
}

TEST_F(CommandBarsOptionsTest, StoredUsedCommandsMustDescribeTheirLength)
{
    struct Case {
        const char* name;
        std::vector<BYTE> value;
        std::set<UINT> used;
    };
    const Case cases[] = {
        {"count 2, two pairs", Words({2, 100, 1, 200, 1}), {7, 100, 200}},
        {"count 3, two pairs", Words({3, 100, 1, 200, 1}), {7}},
        {"count 0x7FFFFFFF, 8 bytes", Words({0x7FFFFFFF, 100}), {7}},
        {"5 bytes", {1, 0, 0, 0, 9}, {7}},
        {"count 0", Words({0}), {7}},
        {"empty", {}, {7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetRaw("UsedCommands", REG_BINARY, c.value);
        auto bars = NewManager();
        bars->GetOptions()->m_mapUsedCommands.SetAt(7, TRUE);
        bars->LoadOptions("TavrinCommandBars");
        EXPECT_EQ(Keys(bars->GetOptions()->m_mapUsedCommands), c.used);
    }
    // The hidden commands of a full exchange are checked the same way.
    SetRaw("HiddenCommands", REG_BINARY, Words({3, 100, 1, 200, 1}));
    auto bars = NewManager();
    CXTPCommandBarsOptions* pOptions = bars->GetOptions();
    pOptions->m_mapHiddenCommands.SetAt(7, TRUE);
    CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kOptionsKey);
    pOptions->DoPropExchange(&px, FALSE);
    EXPECT_EQ(Keys(pOptions->m_mapHiddenCommands), (std::set<UINT>{7}));
}

TEST_F(CommandBarsOptionsTest, AnOlderSchemaKeepsTheNewerOptions)
{
    SetLong("Schema", 7);
    SetLong("LargeIcons", 1);
    SetLong("DblClickFloat", 1);
    SetLong("SyncFloatingBars", 0);
    SetRaw("UsedCommands", REG_BINARY, Words({1, 100, 1}));
    SetRaw("HiddenCommands", REG_BINARY, Words({1, 500, 1}));
    SetLong("Animation", 2);
    auto bars = NewManager();
    CXTPCommandBarsOptions* pOptions = bars->GetOptions();

    // The user options: the animation is still one of them.
    bars->LoadOptions("TavrinCommandBars");
    EXPECT_TRUE(pOptions->bLargeIcons);
    EXPECT_EQ(pOptions->animationType, 2);
    EXPECT_TRUE(Keys(pOptions->m_mapUsedCommands).empty());

    // The whole set: the options every schema has are read, the newer kept.
    pOptions->animationType = 0;
    CXTPPropExchangeRegistry px(TRUE, HKEY_CURRENT_USER, kOptionsKey);
    pOptions->DoPropExchange(&px, FALSE);
    EXPECT_EQ(pOptions->animationType, 0);
    EXPECT_FALSE(pOptions->bSyncFloatingBars);
    EXPECT_FALSE(pOptions->bDblClickFloat);
    EXPECT_TRUE(Keys(pOptions->m_mapUsedCommands).empty());
    EXPECT_EQ(Keys(pOptions->m_mapHiddenCommands), (std::set<UINT>{500}));
}

TEST_F(CommandBarsOptionsTest, TheArchiveFormHoldsEverythingAndBothMapsEvenEmpty)
{
    auto RoundTrip = [](CXTPCommandBarsOptions& from, CXTPCommandBarsOptions& to) {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            from.Serialize(ar);
            ar.Close();
        }
        std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
        file.SeekToBegin();
        file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
        CMemFile in(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&in, CArchive::load);
        to.Serialize(ar);
        ar.Close();
        return bytes.size();
    };
    auto bars = NewManager();
    auto other = NewManager();
    size_t emptySize = RoundTrip(*bars->GetOptions(), *other->GetOptions());

    CXTPCommandBarsOptions& options = *bars->GetOptions();
    options.m_mapHiddenCommands.SetAt(500, TRUE);
    options.m_mapHiddenCommands.SetAt(501, TRUE);
    options.m_mapUsedCommands.SetAt(500, TRUE);
    options.bDblClickFloat = TRUE;
    options.bAutoHideUnusedPopups = FALSE;
    options.szIcons = CSize(24, 24);
    options.szPopupIcons = CSize(20, 18);
    options.animationType = 4;
    size_t fullSize = RoundTrip(options, *other->GetOptions());
    // Each map adds its pairs to a count that is written in both cases.
    EXPECT_EQ(fullSize, emptySize + 3 * 8);
    CXTPCommandBarsOptions& loaded = *other->GetOptions();
    EXPECT_EQ(Keys(loaded.m_mapHiddenCommands), (std::set<UINT>{500, 501}));
    EXPECT_EQ(Keys(loaded.m_mapUsedCommands), (std::set<UINT>{500}));
    EXPECT_TRUE(loaded.bDblClickFloat);
    EXPECT_FALSE(loaded.bAutoHideUnusedPopups);
    EXPECT_EQ(loaded.szIcons, CSize(24, 24));
    EXPECT_EQ(loaded.szPopupIcons, CSize(20, 18));
    EXPECT_EQ(loaded.animationType, 4);
}

TEST_F(CommandBarsOptionsTest, IsCommandHiddenFollowsBothMaps)
{
    auto bars = NewManager();
    CXTPCommandBarsOptions* pOptions = bars->GetOptions();
    EXPECT_FALSE(bars->IsCommandHidden(100));
    pOptions->m_mapHiddenCommands.SetAt(100, TRUE);
    EXPECT_TRUE(bars->IsCommandHidden(100));
    bars->SetCommandUsed(100);
    EXPECT_FALSE(bars->IsCommandHidden(100));
    EXPECT_TRUE(pOptions->m_mapHiddenCommands.GetCount() == 1);
}
