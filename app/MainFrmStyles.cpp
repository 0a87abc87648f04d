// The five looks of the main window and the key that keeps the chosen one.
#include "app/GnomePaintManager.h"
#include "app/MainFrm.h"

#include "core/services/Config.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTCaptionTheme.h"
#include "toolkit/controls/XTStatusBar.h"
#include "toolkit/controls/XTThemeManager.h"

#include <array>
#include <new>

namespace {

// Stored names of key 0.
constexpr const char* kStyleDefault = "default";
constexpr const char* kStyleOfficeXP = "Office XP";
constexpr const char* kStyleOffice2003 = "Office 2003";
constexpr const char* kStyleOffice2000 = "Office 2000";
constexpr const char* kStyleGnome = "Gnome";

constexpr int kStyleXP = 0;
constexpr int kStyle2000 = 1;
constexpr int kStyle2003 = 2;

void SetCheckForStyle(CCmdUI* pCmdUI, const char* lpszStored)
{
    pCmdUI->SetCheck(GetConfig(CFG_STYLE_CUR_STYLE) == lpszStored);
}

} // namespace

// Faded icons stay as the theme set them.
void CMainFrame::SetIconOptions(CXTPPaintManager* pManager)
{
    if (!pManager)
        return;
    pManager->GetIconsInfo()->bUseDisabledIcons = TRUE;
    pManager->GetIconsInfo()->bIconsWithShadow = FALSE;
}

void CMainFrame::ApplyStyle(int nStyle)
{
    ApplyStyleSteps(nStyle, nStyle);
}

void CMainFrame::ApplyStyleSteps(int nPaintTheme, int nStyle)
{
    SetIconOptions(CXTPPaintManager::SetTheme(nPaintTheme));

    // The frame's caption, then the other-information and compose captions
    // (null while those panes have no caption bar).
    const std::array<CXTCaption*, 3> captions{dynamic_cast<CXTCaption*>(&m_wndCaption), nullptr, nullptr};
    for (CXTCaption* pCaption : captions) {
        if (!pCaption)
            continue;
        CXTCaptionButton& button = pCaption->GetCaptionButton();
        DWORD bits = button.GetXButtonStyle() & ~DWORD(0x41);
        bits |= nStyle == kStyle2000 ? 0x01 : 0x40;
        button.SetXButtonStyle(bits, FALSE);
    }

    const int nTheme = nStyle == kStyle2003 ? xtThemeOffice2003 : xtThemeOfficeXP;
    XTGetThemeManager()->SetTheme(nTheme);
    // The item lists' tab control joins the theme once the lists carry one.

    if (auto* pStatusBar = dynamic_cast<CXTStatusBar*>(&m_wndStatusBar))
        pStatusBar->EnableThemedPaint(nStyle != kStyle2003);

    if (captions[0])
        captions[0]->SetTheme(nTheme);
    for (size_t i = 1; i < captions.size(); ++i) {
        if (!captions[i])
            continue;
        if (nStyle != kStyle2003)
            captions[i]->SetTheme(nTheme);
        else if (auto* pTheme = new (std::nothrow) CXTCaptionThemeOffice2003(FALSE))
            captions[i]->SetTheme(pTheme);
    }
    RedrawStyle();
}

void CMainFrame::InstallGnomeStyle(BOOL bRedraw)
{
    auto* pManager = new (std::nothrow) CGnomePaintManager;
    if (!pManager)
        return; // the look in force stays
    CXTPPaintManager::SetCustomTheme(pManager);
    if (!bRedraw)
        return;
    SetIconOptions(pManager);
    RedrawStyle();
}

void CMainFrame::RedrawStyle()
{
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (GetCommandBars())
        GetCommandBars()->RedrawCommandBars();
}

void CMainFrame::ApplyStoredStyle()
{
    const CString strStyle = GetConfig(CFG_STYLE_CUR_STYLE);
    if (strStyle == kStyleOffice2003)
        ApplyStyle(kStyle2003);
    else if (strStyle == kStyleOfficeXP)
        ApplyStyle(kStyleXP);
    else if (strStyle == kStyleOffice2000)
        ApplyStyle(kStyle2000);
    else if (strStyle == kStyleGnome)
        InstallGnomeStyle(FALSE);
    else
        ApplyStyleSteps(xtpThemeDefault, kStyleXP);
}

void CMainFrame::OnStyleDefault()
{
    ApplyStyleSteps(xtpThemeDefault, kStyleXP);
    SetConfig(CFG_STYLE_CUR_STYLE, kStyleDefault);
}

void CMainFrame::OnStyleOfficeXP()
{
    ApplyStyle(kStyleXP);
    SetConfig(CFG_STYLE_CUR_STYLE, kStyleOfficeXP);
}

void CMainFrame::OnStyleOffice2003()
{
    ApplyStyle(kStyle2003);
    SetConfig(CFG_STYLE_CUR_STYLE, kStyleOffice2003);
}

void CMainFrame::OnStyleOffice2000()
{
    ApplyStyle(kStyle2000);
    SetConfig(CFG_STYLE_CUR_STYLE, kStyleOffice2000);
}

void CMainFrame::OnStyleGnome()
{
    InstallGnomeStyle(TRUE);
    SetConfig(CFG_STYLE_CUR_STYLE, kStyleGnome);
}

void CMainFrame::OnUpdateStyleDefault(CCmdUI* pCmdUI) { SetCheckForStyle(pCmdUI, kStyleDefault); }
void CMainFrame::OnUpdateStyleOfficeXP(CCmdUI* pCmdUI) { SetCheckForStyle(pCmdUI, kStyleOfficeXP); }
void CMainFrame::OnUpdateStyleOffice2003(CCmdUI* pCmdUI) { SetCheckForStyle(pCmdUI, kStyleOffice2003); }
void CMainFrame::OnUpdateStyleOffice2000(CCmdUI* pCmdUI) { SetCheckForStyle(pCmdUI, kStyleOffice2000); }
void CMainFrame::OnUpdateStyleGnome(CCmdUI* pCmdUI) { SetCheckForStyle(pCmdUI, kStyleGnome); }
