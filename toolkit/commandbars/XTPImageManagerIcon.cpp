#include "toolkit/commandbars/XTPImageManagerIcon.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/ImageList.h"
#include "platform/mfc/Archive.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Resource.h"
#include "platform/win/ResourceImage.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPImageManagerIconSet.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTDrawHelpers.h"

#include <cmath>
#include <cstring>
#include <new>

double CXTPImageManagerIcon::m_dDisabledBrightnessFactor = 0.5;
double CXTPImageManagerIcon::m_dDisabledAlphaFactor = 1.0;

namespace {

const int kMaxSide = 4096;

// The bitmap resource's header, when it is one.
const BITMAPINFOHEADER* BitmapResourceHeader(UINT nIDResource, DWORD* pSize)
{
    HMODULE module = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(nIDResource), RT_BITMAP);
    if (!resource)
        return nullptr;
    DWORD dwSize = ::SizeofResource(module, resource);
    const void* pData = ::LockResource(::LoadResource(module, resource));
    if (!pData || dwSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    if (pSize)
        *pSize = dwSize;
    return static_cast<const BITMAPINFOHEADER*>(pData);
}

// Writes the pixels of a 32-bit DIB section in place.
template <typename F>
BOOL ForEachPixel(HBITMAP hBitmap, F f)
{
    DIBSECTION ds{};
    if (!hBitmap || ::GetObjectA(hBitmap, sizeof ds, &ds) != static_cast<int>(sizeof ds) || !ds.dsBm.bmBits ||
        ds.dsBm.bmBitsPixel != 32)
        return FALSE;
    auto* pBits = static_cast<BYTE*>(ds.dsBm.bmBits);
    size_t nCount = static_cast<size_t>(ds.dsBm.bmWidth) * static_cast<size_t>(std::abs(ds.dsBm.bmHeight));
    for (size_t i = 0; i < nCount; ++i)
        f(pBits + i * 4);
    return TRUE;
}

BYTE Faded(BYTE c) { return static_cast<BYTE>(c * 0.7 + 76.5); }

BYTE Grey(BYTE r, BYTE g, BYTE b)
{
    double dLum = (0.299 * r + 0.587 * g + 0.114 * b) * 0.00392156862745098;
    return static_cast<BYTE>(255 * std::pow(dLum, CXTPImageManagerIcon::m_dDisabledBrightnessFactor));
}

} // namespace

CXTPImageManagerIcon::CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerIconSet* pIconSet)
    : m_nID(nID), m_nWidth(nWidth), m_nHeight(nHeight), m_pIconSet(pIconSet)
{
}

CXTPImageManagerIcon::~CXTPImageManagerIcon()
{
    Clear(TRUE);
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetHotIcon()
{
    return m_hHot.IsEmpty() ? m_hIcon : m_hHot;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetCheckedIcon()
{
    return m_hChecked.IsEmpty() ? GetHotIcon() : m_hChecked;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetFadedIcon()
{
    if (m_hFaded.IsEmpty())
        CreateEffect(m_hFaded, m_hIcon, effectFaded);
    return m_hFaded;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetShadowIcon()
{
    if (m_hShadow.IsEmpty())
        CreateEffect(m_hShadow, m_hHot.IsEmpty() ? m_hIcon : m_hHot, effectShadow);
    return m_hShadow;
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetDisabledIcon()
{
    if (!m_hDisabled.IsEmpty())
        return m_hDisabled;
    if (m_hDisabledAuto.IsEmpty())
        CreateEffect(m_hDisabledAuto, m_hIcon, effectDisabled);
    return m_hDisabledAuto;
}

void CXTPImageManagerIcon::SetIcon(const CXTPImageManagerIconHandle& hIcon)
{
    Clear(TRUE);
    m_hIcon.CopyHandle(hIcon);
    CSize size = m_hIcon.GetExtent();
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    m_bScaled = FALSE;
    if (m_pIconSet)
        m_pIconSet->RefreshAll();
}

void CXTPImageManagerIcon::SetHotIcon(const CXTPImageManagerIconHandle& hIcon)
{
    ClearGeneratedIcons();
    m_hHot.CopyHandle(hIcon);
}

void CXTPImageManagerIcon::SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon)
{
    ClearGeneratedIcons();
    m_hChecked.CopyHandle(hIcon);
}

void CXTPImageManagerIcon::SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon)
{
    ClearGeneratedIcons();
    m_hDisabled.CopyHandle(hIcon);
}

void CXTPImageManagerIcon::ClearGeneratedIcons()
{
    m_hFaded.Clear();
    m_hShadow.Clear();
    m_hDisabledAuto.Clear();
}

void CXTPImageManagerIcon::Clear(BOOL bNormalToo)
{
    ClearGeneratedIcons();
    m_hHot.Clear();
    m_hChecked.Clear();
    m_hDisabled.Clear();
    if (bNormalToo)
        m_hIcon.Clear();
}

COLORREF CXTPImageManagerIcon::ShadowColor() const
{
    COLORREF clr = XTGetColorManager()->GetColor(31);
    return RGB(static_cast<BYTE>(GetRValue(clr) * 0.75), static_cast<BYTE>(GetGValue(clr) * 0.75),
               static_cast<BYTE>(GetBValue(clr) * 0.75));
}

void CXTPImageManagerIcon::CreateEffect(CXTPImageManagerIconHandle& hTarget, const CXTPImageManagerIconHandle& hSource,
                                        Effect effect)
{
    COLORREF clrShadow = effect == effectShadow ? ShadowColor() : 0;
    if (hSource.IsAlpha()) {
        hTarget.CopyHandle(hSource);
        // Pixels are blue, green, red, alpha.
        ForEachPixel(hTarget.GetBitmap(), [&](BYTE* p) {
            switch (effect) {
            case effectFaded:
                p[0] = Faded(p[0]), p[1] = Faded(p[1]), p[2] = Faded(p[2]);
                break;
            case effectShadow:
                p[0] = GetBValue(clrShadow), p[1] = GetGValue(clrShadow), p[2] = GetRValue(clrShadow);
                break;
            case effectDisabled: {
                BYTE grey = Grey(p[2], p[1], p[0]);
                p[0] = p[1] = p[2] = grey;
                p[3] = static_cast<BYTE>(p[3] / m_dDisabledAlphaFactor);
                break;
            }
            }
        });
        return;
    }
    if (!hSource.GetIcon())
        return;
    if (effect == effectFaded && XTIsLowColorDisplay()) {
        hTarget.CopyHandle(hSource);
        return;
    }
    ICONINFO info{};
    if (!::GetIconInfo(hSource.GetIcon(), &info))
        return;
    int cx = 0, cy = 0, mx = 0, my = 0;
    std::vector<BYTE> colour, mask;
    BYTE* pDest = nullptr;
    HBITMAP hColour = nullptr;
    if (info.hbmColor && XTPImageBits::Read32(info.hbmColor, cx, cy, colour) &&
        XTPImageBits::Read32(info.hbmMask, mx, my, mask) && mx == cx && my >= cy &&
        (hColour = XTPImageBits::Create32(cx, cy, &pDest)) != nullptr) {
        for (size_t i = 0; i < colour.size(); i += 4) {
            BYTE* p = &colour[i];
            // The mask decides what shows, not an alpha byte.
            p[3] = 0;
            if (mask[i] == 0) {
                switch (effect) {
                case effectFaded:
                    for (int c = 0; c < 3; ++c)
                        p[c] = static_cast<BYTE>(p[c] * (1 - 0.3) + 0.3 * 255);
                    break;
                case effectShadow:
                    p[0] = GetBValue(clrShadow), p[1] = GetGValue(clrShadow), p[2] = GetRValue(clrShadow);
                    break;
                case effectDisabled:
                    p[0] = p[1] = p[2] = Grey(p[2], p[1], p[0]);
                    break;
                }
            }
        }
        std::memcpy(pDest, colour.data(), colour.size());
        ICONINFO result{TRUE, 0, 0, info.hbmMask, hColour};
        HICON hIcon = ::CreateIconIndirect(&result);
        if (hIcon)
            hTarget.Attach(hIcon);
        ::DeleteObject(hColour);
    }
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
}

void CXTPImageManagerIcon::Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, CSize sz)
{
    if (!pDC || hIcon.IsEmpty() || m_nWidth <= 0)
        return;
    int cx = sz.cx ? sz.cx : m_nWidth;
    int cy = sz.cy ? sz.cy : static_cast<int>(static_cast<long long>(m_nHeight) * cx / m_nWidth);
    if (hIcon.GetIcon()) {
        ::DrawIconEx(pDC->GetSafeHdc(), pt.x, pt.y, hIcon.GetIcon(), cx, cy, 0, nullptr, DI_NORMAL);
        return;
    }
    HBITMAP hCache = hIcon.PreMultiply();
    if (hCache)
        CXTPImageManager::DrawAlphaBitmap(pDC, pt, hCache, CSize(cx, cy), CSize(m_nWidth, m_nHeight));
}

void CXTPImageManagerIcon::DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, COLORREF clr)
{
    if (!pDC || !hIcon.GetIcon())
        return;
    CBrush brush(clr);
    pDC->DrawState(pt, CSize(0, 0), hIcon.GetIcon(), DST_ICON | DSS_MONO, &brush);
}

CSize CXTPImageManagerIcon::GetExtent(HICON hIcon)
{
    CXTPImageManagerIconHandle handle(hIcon);
    return handle.GetExtent();
}

BOOL CXTPImageManagerIcon::IsAlphaBitmapResource(UINT nIDResource)
{
    const BITMAPINFOHEADER* pHeader = BitmapResourceHeader(nIDResource, nullptr);
    return pHeader && pHeader->biBitCount == 32;
}

HBITMAP CXTPImageManagerIcon::LoadAlphaBitmap(UINT nIDResource)
{
    DWORD dwSize = 0;
    const BITMAPINFOHEADER* pHeader = BitmapResourceHeader(nIDResource, &dwSize);
    if (!pHeader || pHeader->biBitCount != 32 || pHeader->biSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    LONG cx = pHeader->biWidth;
    LONG cy = pHeader->biHeight < 0 ? -pHeader->biHeight : pHeader->biHeight;
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide)
        return nullptr;
    size_t nBytes = static_cast<size_t>(cx) * 4 * static_cast<size_t>(cy);
    size_t nOffset = pHeader->biSize + (pHeader->biCompression == BI_BITFIELDS ? 12 : 0);
    if (dwSize < nOffset + nBytes)
        return nullptr;
    BITMAPINFO bmi{};
    bmi.bmiHeader = *pHeader;
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits) {
        if (hBitmap)
            ::DeleteObject(hBitmap);
        return nullptr;
    }
    std::memcpy(pBits, reinterpret_cast<const BYTE*>(pHeader) + nOffset, nBytes);
    return hBitmap;
}

HICON CXTPImageManagerIcon::ScaleIcon(HICON hIcon, int nWidth, int nHeight, int nNewWidth)
{
    if (!hIcon || nNewWidth == 0 || (nWidth == 0 && nHeight == 0))
        return nullptr;
    if (nNewWidth == nWidth)
        return ::CopyIcon(hIcon);
    if (nWidth == 0)
        return nullptr;
    int nNewHeight = ::MulDiv(nHeight, nNewWidth, nWidth);
    HIMAGELIST hList = ::ImageList_Create(nNewWidth, nNewHeight, ILC_COLOR32 | ILC_MASK, 1, 1);
    if (!hList)
        return nullptr;
    HICON hResult = nullptr;
    if (::ImageList_ReplaceIcon(hList, -1, hIcon) >= 0)
        hResult = ::ImageList_GetIcon(hList, 0, ILD_NORMAL);
    ::ImageList_Destroy(hList);
    return hResult;
}

// Stored data -----------------------------------------------------------

namespace XTPImageArchive {

namespace {

const UINT kHeaderRoom = 52;

[[noreturn]] void Damaged()
{
    AfxThrowArchiveException(CArchiveException::badIndex);
}

DWORD Stride(const BITMAPINFOHEADER& h)
{
    return ((static_cast<DWORD>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
}

} // namespace

void WriteBitmap(CArchive& ar, HBITMAP hBitmap)
{
    BYTE header[kHeaderRoom] = {};
    auto* pInfo = reinterpret_cast<BITMAPINFO*>(header);
    pInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    HDC hdc = ::CreateCompatibleDC(nullptr);
    std::vector<BYTE> bits;
    BOOL bOk = hBitmap && ::GetDIBits(hdc, hBitmap, 0, 0, nullptr, pInfo, DIB_RGB_COLORS) &&
               pInfo->bmiHeader.biBitCount != 4 && pInfo->bmiHeader.biBitCount != 8;
    if (bOk) {
        BITMAPINFOHEADER& h = pInfo->bmiHeader;
        DWORD nSize = h.biSizeImage ? h.biSizeImage
                                    : static_cast<DWORD>(h.biWidth) * 4 * static_cast<DWORD>(std::abs(h.biHeight));
        bits.assign(nSize, 0);
        bOk = ::GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(std::abs(h.biHeight)), bits.data(), pInfo,
                          DIB_RGB_COLORS) != 0;
    }
    ::DeleteDC(hdc);
    if (!bOk) {
        ar.WriteCount(0);
        return;
    }
    ar.WriteCount(kHeaderRoom);
    ar.Write(header, kHeaderRoom);
    ar.WriteCount(bits.size());
    ar.Write(bits.data(), static_cast<UINT>(bits.size()));
}

HBITMAP ReadBitmap(CArchive& ar)
{
    DWORD_PTR nHeader = ar.ReadCount();
    if (nHeader == 0)
        return nullptr;
    if (nHeader < sizeof(BITMAPINFOHEADER) || nHeader > kHeaderRoom)
        Damaged();
    BYTE header[kHeaderRoom] = {};
    ar.EnsureRead(header, static_cast<UINT>(nHeader));
    auto* pInfo = reinterpret_cast<BITMAPINFO*>(header);
    BITMAPINFOHEADER& h = pInfo->bmiHeader;
    LONG cy = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    WORD bpp = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > nHeader || h.biPlanes != 1 || h.biWidth < 1 ||
        h.biWidth > kMaxSide || cy < 1 || cy > kMaxSide ||
        (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) || h.biClrUsed > 2)
        Damaged();
    // Only a 1-bit bitmap's two colours fit the header's room.
    if (bpp == 4 || bpp == 8)
        Damaged();
    DWORD nRows = Stride(h) * static_cast<DWORD>(cy);
    DWORD nExpected = h.biSizeImage ? h.biSizeImage : static_cast<DWORD>(h.biWidth) * 4 * static_cast<DWORD>(cy);
    DWORD_PTR nCount = ar.ReadCount();
    if (nCount != nExpected || nExpected != nRows)
        Damaged();
    std::vector<BYTE> bits;
    if (!CXTPPropExchangeArchive::ReadBytes(ar, static_cast<DWORD>(nCount), bits))
        Damaged();
    h.biSize = sizeof(BITMAPINFOHEADER);
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, pInfo, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap || !pBits) {
        if (hBitmap)
            ::DeleteObject(hBitmap);
        Damaged();
    }
    std::memcpy(pBits, bits.data(), bits.size());
    return hBitmap;
}

} // namespace XTPImageArchive

void CXTPImageManagerIcon::SerializeImage(CArchive& ar, CXTPImageManagerIconHandle& hIcon)
{
    if (ar.IsStoring()) {
        if (hIcon.IsAlpha()) {
            XTPImageArchive::WriteBitmap(ar, hIcon.GetBitmap());
            XTPImageArchive::WriteBitmap(ar, nullptr);
        } else if (hIcon.GetIcon()) {
            ICONINFO info{};
            if (::GetIconInfo(hIcon.GetIcon(), &info)) {
                XTPImageArchive::WriteBitmap(ar, info.hbmColor);
                XTPImageArchive::WriteBitmap(ar, info.hbmMask);
                if (info.hbmColor)
                    ::DeleteObject(info.hbmColor);
                if (info.hbmMask)
                    ::DeleteObject(info.hbmMask);
            } else {
                XTPImageArchive::WriteBitmap(ar, nullptr);
                XTPImageArchive::WriteBitmap(ar, nullptr);
            }
        } else {
            XTPImageArchive::WriteBitmap(ar, nullptr);
            XTPImageArchive::WriteBitmap(ar, nullptr);
        }
        return;
    }
    hIcon.Clear();
    HBITMAP hColour = XTPImageArchive::ReadBitmap(ar);
    HBITMAP hMask = nullptr;
    try {
        hMask = XTPImageArchive::ReadBitmap(ar);
    } catch (...) {
        if (hColour)
            ::DeleteObject(hColour);
        throw;
    }
    if (!hColour) {
        if (hMask)
            ::DeleteObject(hMask);
        return;
    }
    if (!hMask) {
        hIcon.Attach(hColour);
        return;
    }
    BITMAP bm{};
    ::GetObjectA(hColour, sizeof bm, &bm);
    HIMAGELIST hList = ::ImageList_Create(bm.bmWidth, std::abs(bm.bmHeight), ILC_COLOR24 | ILC_MASK, 0, 1);
    if (hList) {
        if (::ImageList_Add(hList, hColour, hMask) >= 0) {
            HICON hResult = ::ImageList_GetIcon(hList, 0, ILD_NORMAL);
            if (hResult)
                hIcon.Attach(hResult);
        }
        ::ImageList_Destroy(hList);
    }
    ::DeleteObject(hColour);
    ::DeleteObject(hMask);
}

void CXTPImageManagerIcon::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nHeight);
        ar << static_cast<DWORD>(8);
        SerializeImage(ar, m_hIcon);
        SerializeImage(ar, m_hDisabled);
        SerializeImage(ar, m_hHot);
        SerializeImage(ar, m_hChecked);
        return;
    }
    DWORD dwHeight = 0, dwVersion = 0;
    ar >> dwHeight;
    ar >> dwVersion;
    if (dwHeight > static_cast<DWORD>(kMaxSide))
        AfxThrowArchiveException(CArchiveException::badIndex);
    Clear(TRUE);
    m_nHeight = static_cast<int>(dwHeight);
    SerializeImage(ar, m_hIcon);
    SerializeImage(ar, m_hDisabled);
    SerializeImage(ar, m_hHot);
    if (dwVersion > 7)
        SerializeImage(ar, m_hChecked);
}
