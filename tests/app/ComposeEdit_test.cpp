// The compose body's smileys: codes typed as text become pictures carrying
// their index, and the stored text has every picture back as its code, with
// double-byte text, unknown indexes and pictures that cannot be made.
#include "app/ComposeEdit.h"
#include "app/SmileyPicker.h"
#include "platform/mfc/ImageList.h"
#include "platform/win/OptionalLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct Picture {
    long cp;
    int index;
    bool operator==(const Picture&) const = default;
};

class ComposeEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadLibraryA("RICHED32.DLL"), nullptr);
        ASSERT_TRUE(m_parent.CreateEx(0, AfxRegisterWndClass(0), "compose", WS_POPUP | WS_VISIBLE, 0, 0, 400, 200,
                                      nullptr, nullptr));
        ASSERT_TRUE(m_edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                  CRect(0, 0, 400, 200), &m_parent, 1021));
        ASSERT_TRUE(CreateSmileyImageList(m_images));
    }
    void TearDown() override
    {
        m_edit.DestroyWindow();
        m_parent.DestroyWindow();
    }
    std::string Text() const
    {
        CString text;
        m_edit.GetWindowText(text);
        return std::string(text.View());
    }
    std::vector<Picture> Pictures() const
    {
        std::vector<Picture> out;
        IRichEditOle* ole = m_edit.GetIRichEditOle();
        for (LONG k = 0; ole && k < ole->GetObjectCount(); ++k) {
            REOBJECT record{};
            record.cbStruct = sizeof record;
            if (ole->GetObject(k, &record, REO_GETOBJ_NO_INTERFACES) == S_OK)
                out.push_back({record.cp, static_cast<int>(record.dwUser)});
        }
        if (ole)
            ole->Release();
        return out;
    }
    void Convert()
    {
        m_edit.ReplaceSmileyCodes([this](int index) { return m_edit.MakeSmileyBitmap(&m_images, index); });
    }
    CWnd m_parent;
    CComposeEdit m_edit;
    CImageList m_images;
};

} // namespace

TEST(SmileyTable, CodesByIndex)
{
    const std::pair<int, const char*> spots[] = {{0, ":)"},  {4, ":\">"},    {10, ":|"},        {14, ">:("},
                                                 {20, "=:|"}, {38, "//F"},    {48, "//sun"},     {51, "(!)"},
                                                 {62, "//football"}, {63, "//shit"}};
    for (auto [index, code] : spots)
        EXPECT_STREQ(GetSmileyCode(index), code) << index;
    EXPECT_EQ(GetSmileyCode(-1), nullptr);
    EXPECT_EQ(GetSmileyCode(kSmileyCount), nullptr);
}

TEST_F(ComposeEditTest, CodesBecomePicturesAndComeBackAsTyped)
{
    struct Case {
        const char* typed;
        std::string shown; // each picture one space
        std::vector<Picture> pictures;
    } cases[] = {
        {"=:|", " ", {{0, 20}}},
        {">:(", " ", {{0, 14}}},
        {":|:(", "  ", {{0, 10}, {1, 11}}},
        {"//F", " ", {{0, 38}}},
        {"//football", " ", {{0, 62}}},
        {"//f", "//f", {}},
        {"//sunny", " ny", {{0, 48}}},
        {"a:)b", "a b", {{1, 0}}},
        {":):)", "  ", {{0, 0}, {1, 0}}},
        {"甲乙:)丙//F", "甲乙 丙 ", {{4, 0}, {7, 38}}},
        {"没有表情", "没有表情", {}},
    };
    for (const Case& c : cases) {
        m_edit.SetWindowText(c.typed);
        Convert();
        EXPECT_EQ(Text(), c.shown) << c.typed;
        EXPECT_EQ(Pictures(), c.pictures) << c.typed;
        EXPECT_EQ(std::string(m_edit.GetTextWithSmileyCodes().View()), c.typed) << c.typed;
    }
}

TEST_F(ComposeEditTest, APickedPictureGoesToTheCaret)
{
    m_edit.SetWindowText("甲乙");
    m_edit.SetSel(2, 2);
    m_edit.InsertSmiley(m_edit.MakeSmileyBitmap(&m_images, 33), 33);
    EXPECT_EQ(Pictures(), (std::vector<Picture>{{2, 33}}));
    EXPECT_EQ(std::string(m_edit.GetTextWithSmileyCodes().View()), "甲//qiang乙");
}

TEST_F(ComposeEditTest, AnUnknownIndexStaysItsCharacter)
{
    m_edit.SetWindowText("x:)y");
    Convert();
    m_edit.SetSel(3, 3);
    m_edit.InsertSmiley(m_edit.MakeSmileyBitmap(&m_images, 5), 99);
    EXPECT_EQ(Pictures(), (std::vector<Picture>{{1, 0}, {3, 99}}));
    EXPECT_EQ(std::string(m_edit.GetTextWithSmileyCodes().View()), "x:)y ");
}

TEST_F(ComposeEditTest, ACodeWhosePictureFailsStaysAsText)
{
    // No bitmap for ":)"; a handle that is no bitmap for "//F": the insert fails.
    m_edit.SetWindowText("a:)b//Fc:(");
    m_edit.ReplaceSmileyCodes([this](int index) -> HBITMAP {
        if (index == 0)
            return nullptr;
        if (index == 38)
            return reinterpret_cast<HBITMAP>(::CreateSolidBrush(RGB(1, 2, 3)));
        return m_edit.MakeSmileyBitmap(&m_images, index);
    });
    EXPECT_EQ(Text(), "a:)b//Fc ");
    EXPECT_EQ(Pictures(), (std::vector<Picture>{{8, 11}}));
    EXPECT_EQ(std::string(m_edit.GetTextWithSmileyCodes().View()), "a:)b//Fc:(");
    // Inserting such a handle directly reports the failure and inserts nothing.
    m_edit.SetSel(0, 0);
    EXPECT_THROW(
        {
            try {
                m_edit.InsertSmiley(reinterpret_cast<HBITMAP>(::CreateSolidBrush(RGB(1, 2, 3))), 3);
            } catch (COleException* e) {
                EXPECT_TRUE(FAILED(e->m_sc));
                e->Delete();
                throw 1;
            }
        },
        int);
    EXPECT_EQ(Pictures().size(), 1u);
}

TEST_F(ComposeEditTest, ThePassSendsNoChangeNoticesAndKeepsTheMask)
{
    m_edit.SetEventMask(ENM_CHANGE | ENM_SELCHANGE);
    m_edit.SetWindowText("//sun//moon");
    Convert();
    EXPECT_EQ(m_edit.GetEventMask(), static_cast<DWORD>(ENM_CHANGE | ENM_SELCHANGE));
    EXPECT_EQ(Pictures(), (std::vector<Picture>{{0, 48}, {1, 49}}));
}

TEST_F(ComposeEditTest, PicturesAreDrawnOnTheBodyBackground)
{
    m_edit.SetBackgroundColor(FALSE, RGB(10, 20, 30));
    HBITMAP bitmap = m_edit.MakeSmileyBitmap(&m_images, 0);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_TRUE(::GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 21);
    EXPECT_EQ(info.bmHeight, 21);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(10, 20, 30)) << "white of the picture is transparent";
    EXPECT_NE(::GetPixel(dc, 10, 10), RGB(10, 20, 30)) << "the face is drawn";
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    // The body keeps its colour.
    EXPECT_EQ(m_edit.SetBackgroundColor(FALSE, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(m_edit.MakeSmileyBitmap(&m_images, 64), nullptr);
    EXPECT_EQ(m_edit.MakeSmileyBitmap(nullptr, 0), nullptr);
}
