// One command's icon at one width: the normal image, the optional hot,
// checked and disabled ones, and the faded, shadow and disabled images the
// themes draw, made on first use.
#pragma once

#include "platform/mfc/CmdTarget.h"
#include "toolkit/commandbars/XTPImageManagerIconHandle.h"

class CArchive;
class CDC;
class CXTPImageManagerIconSet;

enum XTPImageState {
    xtpImageNormal = 0,
    xtpImageDisabled = 1,
    xtpImageHot = 2,
    xtpImageChecked = 3,
};

class CXTPImageManagerIcon : public CCmdTarget {
public:
    CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerIconSet* pIconSet = nullptr);
    ~CXTPImageManagerIcon() override;

    UINT GetID() const { return m_nID; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    BOOL IsScaled() const { return m_bScaled; }
    BOOL IsAlpha() const { return m_hIcon.IsAlpha(); }

    CXTPImageManagerIconHandle& GetIcon() { return m_hIcon; }
    CXTPImageManagerIconHandle& GetHotIcon();
    CXTPImageManagerIconHandle& GetCheckedIcon();
    CXTPImageManagerIconHandle& GetFadedIcon();
    CXTPImageManagerIconHandle& GetShadowIcon();
    CXTPImageManagerIconHandle& GetDisabledIcon();

    void SetIcon(const CXTPImageManagerIconHandle& hIcon);
    void SetHotIcon(const CXTPImageManagerIconHandle& hIcon);
    void SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon);
    void SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon);
    void ClearGeneratedIcons();
    void Clear(BOOL bNormalToo);

    void Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, CSize sz = CSize(0, 0));
    void DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, COLORREF clr);

    // Height, version and the normal, disabled, hot and checked images.
    // Throws CArchiveException on a short or damaged stream.
    void Serialize(CArchive& ar) override;

    static CSize GetExtent(HICON hIcon);
    static HBITMAP LoadAlphaBitmap(UINT nIDResource);
    static BOOL IsAlphaBitmapResource(UINT nIDResource);
    static HICON ScaleIcon(HICON hIcon, int nWidth, int nHeight, int nNewWidth);

    // The generated disabled image's brightness exponent and alpha divisor.
    static double m_dDisabledBrightnessFactor;
    static double m_dDisabledAlphaFactor;

private:
    friend class CXTPImageManagerIconSet;

    enum Effect { effectFaded, effectShadow, effectDisabled };
    void CreateEffect(CXTPImageManagerIconHandle& hTarget, const CXTPImageManagerIconHandle& hSource, Effect effect);
    COLORREF ShadowColor() const;

    void SerializeImage(CArchive& ar, CXTPImageManagerIconHandle& hIcon);

    UINT m_nID;
    int m_nWidth;
    int m_nHeight;
    CXTPImageManagerIconHandle m_hIcon;
    CXTPImageManagerIconHandle m_hFaded;
    CXTPImageManagerIconHandle m_hShadow;
    CXTPImageManagerIconHandle m_hHot;
    CXTPImageManagerIconHandle m_hChecked;
    CXTPImageManagerIconHandle m_hDisabled;
    CXTPImageManagerIconHandle m_hDisabledAuto;
    BOOL m_bScaled = FALSE;
    CXTPImageManagerIconSet* m_pIconSet;
};

// Bitmap blocks of the stored icon data: a header block and the pixel rows.
namespace XTPImageArchive {
// Writes an empty block for null.
void WriteBitmap(CArchive& ar, HBITMAP hBitmap);
// Null for an empty block; throws on a damaged block.
HBITMAP ReadBitmap(CArchive& ar);
} // namespace XTPImageArchive
