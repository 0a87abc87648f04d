#include "toolkit/controls/XTThemeManager.h"

#include "tests/toolkit/ToolkitTestSupport.h"

#include <vector>

namespace {

int g_stylesAlive = 0;
int g_refreshes = 0;

class TestStyle : public CXTThemeManagerStyle {
public:
    TestStyle() { ++g_stylesAlive; }
    ~TestStyle() override { --g_stylesAlive; }
    void RefreshMetrics() override { ++g_refreshes; }
};

// Makes a style of every id; id 9 stands for one it does not know.
class TestStyleFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(TestStyleFactory)
public:
    CXTThemeManagerStyle* CreateTheme(int) override { return new TestStyle; }
};
IMPLEMENT_DYNCREATE(TestStyleFactory, CXTThemeManagerStyleFactory)

// A second control kind with a factory of its own.
class OtherStyleFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(OtherStyleFactory)
public:
    CXTThemeManagerStyle* CreateTheme(int) override { return new TestStyle; }
};
IMPLEMENT_DYNCREATE(OtherStyleFactory, CXTThemeManagerStyleFactory)

class Control : public CXTThemeManagerStyleHost {
public:
    explicit Control(CRuntimeClass* factory = RUNTIME_CLASS(TestStyleFactory)) : CXTThemeManagerStyleHost(factory) {}
    void OnThemeChanged() override { ++changes; }
    int changes = 0;
};

// Every test starts from the classic id; styles left from earlier tests of
// the same process are rebuilt then.
class ThemeManagerTest : public tavrin::test::ToolkitTest {
protected:
    void SetUp() override
    {
        ToolkitTest::SetUp();
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        g_refreshes = 0;
    }
    void TearDown() override
    {
        XTGetThemeManager()->SetTheme(xtThemeDefault);
        ToolkitTest::TearDown();
    }
};

} // namespace

TEST_F(ThemeManagerTest, TwoControlsShareOneStyleAndAreEachNotifiedOnce)
{
    Control a, b;
    EXPECT_EQ(a.GetFactory(), b.GetFactory());
    EXPECT_EQ(a.GetFactory(), XTGetThemeManager()->GetFactory(RUNTIME_CLASS(TestStyleFactory)));
    CXTThemeManagerStyle* style = a.GetTheme();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(b.GetTheme(), style);
    EXPECT_EQ(style->GetThemeID(), xtThemeDefault);
    EXPECT_EQ(style->m_pFactory, a.GetFactory());
    EXPECT_EQ(g_refreshes, 1) << "made once, refreshed once";

    XTEnableControlThemes(TRUE);
    EXPECT_EQ(XTGetThemeManager()->GetTheme(), xtThemeOfficeXP);
    EXPECT_EQ(a.changes, 1);
    EXPECT_EQ(b.changes, 1);
    EXPECT_EQ(a.GetTheme(), b.GetTheme());
    EXPECT_EQ(a.GetTheme()->GetThemeID(), xtThemeOfficeXP);
}

TEST_F(ThemeManagerTest, SwitchingToTheCurrentIdNotifiesNobody)
{
    Control a;
    CXTThemeManagerStyle* style = a.GetTheme();
    const int alive = g_stylesAlive;
    XTGetThemeManager()->SetTheme(xtThemeDefault);
    EXPECT_EQ(a.changes, 0);
    EXPECT_EQ(a.GetTheme(), style) << "no style rebuilt";
    EXPECT_EQ(g_stylesAlive, alive);
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    EXPECT_EQ(g_stylesAlive, alive) << "the old style is deleted as the new one comes";
    EXPECT_EQ(a.changes, 1);
}

TEST_F(ThemeManagerTest, PrivateStyleSurvivesASwitchAndNullReturnsToTheShared)
{
    Control a, b;
    CXTThemeManagerStyle* shared = b.GetTheme();
    auto* mine = new TestStyle;
    EXPECT_TRUE(a.SetTheme(mine));
    EXPECT_EQ(a.changes, 1);
    EXPECT_EQ(a.GetTheme(), mine);
    EXPECT_NE(a.GetFactory(), b.GetFactory());
    EXPECT_EQ(mine->m_pFactory, a.GetFactory());

    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    EXPECT_EQ(a.changes, 1) << "a private style is not told of switches";
    EXPECT_EQ(a.GetTheme(), mine);
    EXPECT_EQ(b.changes, 1);
    EXPECT_NE(b.GetTheme(), shared);

    const int alive = g_stylesAlive;
    EXPECT_TRUE(a.SetTheme(static_cast<CXTThemeManagerStyle*>(nullptr)));
    EXPECT_EQ(g_stylesAlive, alive - 1) << "the private style goes with its factory";
    EXPECT_EQ(a.changes, 2);
    EXPECT_EQ(a.GetTheme(), b.GetTheme());
    EXPECT_EQ(a.GetTheme()->GetThemeID(), xtThemeOffice2003);
    EXPECT_FALSE(a.SetTheme(static_cast<CXTThemeManagerStyle*>(nullptr))) << "nothing private left";
    EXPECT_EQ(a.changes, 2);

    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    EXPECT_EQ(a.changes, 3) << "back in the shared list";
    EXPECT_EQ(b.changes, 2);
}

TEST_F(ThemeManagerTest, PrivateStyleOfAnId)
{
    Control a, b;
    EXPECT_TRUE(a.SetTheme(xtThemeOffice2003));
    EXPECT_EQ(a.GetTheme()->GetThemeID(), xtThemeOffice2003);
    EXPECT_EQ(b.GetTheme()->GetThemeID(), xtThemeDefault);
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP);
    EXPECT_EQ(a.GetTheme()->GetThemeID(), xtThemeOffice2003);
    EXPECT_EQ(b.GetTheme()->GetThemeID(), xtThemeOfficeXP);
    // A second private style replaces the first.
    const int alive = g_stylesAlive;
    EXPECT_TRUE(a.SetTheme(xtThemeDefault));
    EXPECT_EQ(g_stylesAlive, alive);
    EXPECT_EQ(a.GetTheme()->GetThemeID(), xtThemeDefault);
}

TEST_F(ThemeManagerTest, FirstControlAfterASwitchGetsTheCurrentId)
{
    XTGetThemeManager()->SetTheme(xtThemeOffice2003);
    Control late(RUNTIME_CLASS(OtherStyleFactory));
    EXPECT_EQ(late.GetTheme()->GetThemeID(), xtThemeOffice2003);
    XTEnableControlThemes(FALSE);
    EXPECT_EQ(late.GetTheme()->GetThemeID(), xtThemeDefault);
}

TEST_F(ThemeManagerTest, DestroyedControlsLeaveTheList)
{
    Control keep;
    CXTThemeManagerStyleFactory* factory = keep.GetFactory();
    const int before = factory->GetHostCount();
    {
        Control gone;
        Control privateOne;
        privateOne.SetTheme(xtThemeOfficeXP);
        EXPECT_EQ(factory->GetHostCount(), before + 1);
    }
    EXPECT_EQ(factory->GetHostCount(), before);
    XTGetThemeManager()->SetTheme(xtThemeOfficeXP); // reaches only the living
    EXPECT_EQ(keep.changes, 1);
}

TEST_F(ThemeManagerTest, BaseFactoryMakesNoStyle)
{
    Control host(RUNTIME_CLASS(CXTThemeManagerStyleFactory));
    EXPECT_EQ(host.GetTheme(), nullptr);
    EXPECT_FALSE(host.SetTheme(xtThemeOfficeXP)) << "no style and nothing private";
    EXPECT_EQ(XTEnableControlThemes(TRUE), TRUE);
    EXPECT_EQ(host.changes, 1);
}
