// Run-time classes: kind tests along the base chain and creation by class
// and by name.
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

namespace {

class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
IMPLEMENT_DYNAMIC(CShape, CObject)

class CPolygonShape : public CShape {
    DECLARE_DYNCREATE(CPolygonShape)
public:
    int m_corners = 3;
};
IMPLEMENT_DYNCREATE(CPolygonShape, CShape)

class CSquareShape : public CPolygonShape {
    DECLARE_DYNCREATE(CSquareShape)
public:
    CSquareShape() { m_corners = 4; }
};
IMPLEMENT_DYNCREATE(CSquareShape, CPolygonShape)

} // namespace

TEST(RuntimeClass, KindTestsFollowTheBaseChain)
{
    CSquareShape square;
    struct Case {
        CRuntimeClass* cls;
        BOOL kind;
    };
    const Case cases[] = {
        {RUNTIME_CLASS(CSquareShape), TRUE},  {RUNTIME_CLASS(CPolygonShape), TRUE},
        {RUNTIME_CLASS(CShape), TRUE},        {RUNTIME_CLASS(CObject), TRUE},
        {RUNTIME_CLASS(CWnd), FALSE},         {RUNTIME_CLASS(CCmdTarget), FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(square.IsKindOf(c.cls), c.kind) << c.cls->m_lpszClassName;
    CPolygonShape polygon;
    EXPECT_FALSE(polygon.IsKindOf(RUNTIME_CLASS(CSquareShape)));
    EXPECT_STREQ(square.GetRuntimeClass()->m_lpszClassName, "CSquareShape");
    EXPECT_EQ(RUNTIME_CLASS(CSquareShape)->m_nObjectSize, static_cast<int>(sizeof(CSquareShape)));
    EXPECT_EQ(DYNAMIC_DOWNCAST(CPolygonShape, &square), &square);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CSquareShape, &polygon), nullptr);
}

TEST(RuntimeClass, CreationByClassAndByName)
{
    CObject* made = RUNTIME_CLASS(CSquareShape)->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CSquareShape)));
    EXPECT_EQ(static_cast<CSquareShape*>(made)->m_corners, 4);
    delete made;

    CObject* byName = CRuntimeClass::CreateObject("CPolygonShape");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->GetRuntimeClass(), RUNTIME_CLASS(CPolygonShape));
    delete byName;

    EXPECT_EQ(CRuntimeClass::CreateObject("CShape"), nullptr) << "dynamic but not creatable";
    EXPECT_EQ(CRuntimeClass::CreateObject("NoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CWnd"), RUNTIME_CLASS(CWnd));
    CObject* window = CRuntimeClass::CreateObject("CWnd");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    delete window;
}
