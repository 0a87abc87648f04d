// CXTResizeLayout keeps the registered controls of a dialog or form view in
// place while the owner changes size: each control has an anchor, the share
// of the owner's width and height change that each of its edges follows.
// It also enforces a minimum size, shows a size grip and keeps group boxes
// from leaving trails. Positions are kept in floats, so many small changes
// add up exactly.
#pragma once

#include "platform/mfc/Button.h"
#include "platform/mfc/Wnd.h"

#include <vector>

// Layout flags.
constexpr UINT SZ_NOSIZEICON = 0x01;
constexpr UINT SZ_NOHORISONTAL = 0x02; // width may not grow beyond the last pass
constexpr UINT SZ_NOVERTICAL = 0x04;
constexpr UINT SZ_NOMINSIZE = 0x08;
constexpr UINT SZ_NOCLIPCHILDREN = 0x10;
constexpr UINT SZ_NOTRANSPARENTGROUP = 0x20;

// The size grip's control id.
constexpr UINT XT_IDC_SIZEGRIP = 32767;

struct CXTAnchorPoint {
    CXTAnchorPoint(float x = 0.0f, float y = 0.0f) : x(x), y(y) {}
    float x;
    float y;
};

struct CXTAnchorRect {
    CXTAnchorRect(float l = 0.0f, float t = 0.0f, float r = 0.0f, float b = 0.0f) : left(l), top(t), right(r), bottom(b)
    {
    }
    CXTAnchorRect(const CXTAnchorPoint& topLeft, const CXTAnchorPoint& bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y)
    {
    }
    float left;
    float top;
    float right;
    float bottom;
};

// Owner client coordinates, in floats.
struct CXTResizeRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    bool operator==(const CXTResizeRect&) const = default;
};

// Answers WM_SETCURSOR over its client area with the diagonal sizing cursor.
class CXTSizeGrip : public CWnd {
    DECLARE_DYNAMIC(CXTSizeGrip)
public:
    HCURSOR m_hCursor = nullptr;

protected:
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    DECLARE_MESSAGE_MAP()
};

// A group box that repaints itself cleanly: the layout leaves it alone.
class CXTResizeGroupBox : public CButton {
    DECLARE_DYNAMIC(CXTResizeGroupBox)
};

class CXTResizeLayout;

class CXTResizeItem {
public:
    CXTResizeItem(CWnd* pWnd, const CXTAnchorRect& anchor, const CXTResizeRect& rect, BOOL bOwnsWindow);
    virtual ~CXTResizeItem();
    CXTResizeItem(const CXTResizeItem&) = delete;
    CXTResizeItem& operator=(const CXTResizeItem&) = delete;

    // Group boxes become transparent and are repainted after each pass.
    virtual void MakeTransparent(CXTResizeLayout* pLayout);

    BOOL m_bIsGroupBox = FALSE;
    BOOL m_bOwnsWnd = FALSE;
    BOOL m_bInitialized = FALSE;
    CWnd* m_pWnd = nullptr;
    CXTAnchorRect m_rrcSizing;
    CXTResizeRect m_rrcWindow;
};

class CXTResizeLayout {
public:
    CXTResizeLayout(CWnd* pOwner, UINT nFlags);
    virtual ~CXTResizeLayout();
    CXTResizeLayout(const CXTResizeLayout&) = delete;
    CXTResizeLayout& operator=(const CXTResizeLayout&) = delete;

    // From the owner's current state; earlier items go.
    void Init();
    // Registers the control (hWnd, else the owner's child nID), or adds the
    // anchor to the one already registered with that id.
    void SetResize(UINT nID, HWND hWnd, CXTAnchorRect rrc);
    // The layout pass, from WM_SIZE.
    void Move();
    void GetMinMaxInfo(MINMAXINFO* pMMI);
    void RemoveAllItems();
    void SavePlacement(CString strSection);

    UINT GetFlags() const { return m_nLayoutFlags; }
    void SetFlag(UINT nFlag) { m_nLayoutFlags |= nFlag; }
    CSize GetMinSize() const { return m_szMin; }
    CSize GetMaxSize() const { return m_szMax; }
    void SetMinSize(CSize size) { m_szMin = size; }
    void SetMaxSize(CSize size) { m_szMax = size; }
    int GetItemCount() const { return static_cast<int>(m_arrItems.size()); }
    CXTResizeItem* GetItem(int nIndex) const { return m_arrItems[static_cast<size_t>(nIndex)]; }
    CXTSizeGrip& GetSizeGrip() { return m_scrollBar; }
    const CString& GetPlacementSection() const { return m_strSection; }

protected:
    // FALSE when the batch failed for this item.
    BOOL Defer(HDWP& hdwp, CXTResizeItem* pItem, int dx, int dy);

    UINT m_nLayoutFlags;
    CWnd* m_pWnd;
    CRect m_rcWindow;
    CRect m_rcInitWindow;
    CSize m_szMin{0, 0};
    CSize m_szMax{0, 0};
    CString m_strSection;
    CXTSizeGrip m_scrollBar;
    std::vector<CXTResizeItem*> m_arrItems;
};
