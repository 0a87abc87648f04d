// The soft shadows to the right of and below open popups (and, in the flat
// themes, below the toolbar button whose popup is open): one window per
// strip that follows its owner's window and lets clicks through.
#pragma once

#include "platform/mfc/Wnd.h"
#include "toolkit/commandbars/XTPHookManager.h"

#include <vector>

class CXTPCommandBar;
class CXTPControl;

class CXTPShadowWnd : public CWnd, public CXTPHookSink {
public:
    BOOL IsHorizontal() const { return m_bHorizontal; }
    CXTPCommandBar* GetOwnerBar() const { return m_pOwner; }
    // The premultiplied pixels last handed to the layered window.
    const std::vector<uint32_t>& GetLayeredPixels() const { return m_pixels; }

    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Deleted by the manager.
    void PostNcDestroy() override {}

private:
    friend class CXTPShadowManager;
    void UpdateLayered();

    BOOL m_bHorizontal = FALSE;
    BOOL m_bFlat = FALSE;
    BOOL m_bLayered = FALSE;
    CXTPCommandBar* m_pOwner = nullptr;
    std::vector<uint32_t> m_pixels;
};

class CXTPShadowManager {
public:
    // Strips below and right of the popup's window, clipped by rcExclude
    // (screen coordinates) in the flat themes.
    void SetShadow(CXTPCommandBar* pPopup, const CRect& rcExclude);
    // The strips joining a control of a flat theme to its open popup.
    void SetShadow(CXTPControl* pControl);
    void RemoveShadows(CXTPCommandBar* pOwner);

    int GetShadowCount() const { return static_cast<int>(m_shadows.size()); }
    CXTPShadowWnd* GetShadow(int nIndex) const { return m_shadows[static_cast<size_t>(nIndex)]; }
    // Looked up at every new shadow, so a system without it gets the solid strips.
    static BOOL IsLayeredAvailable();

private:
    friend class CXTPShadowWnd;
    void CreateShadow(BOOL bHorizontal, const CRect& rcOwner, const CRect& rcExclude, CXTPCommandBar* pOwner);
    void Destroy(CXTPShadowWnd* pShadow);

    std::vector<CXTPShadowWnd*> m_shadows;
};

CXTPShadowManager* XTPShadowManager();
