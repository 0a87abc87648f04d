#include "app/ComposeEdit.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/Exception.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/OleDataSource.h"

#include <cstring>
#include <string>
#include <utility>

IMPLEMENT_DYNAMIC(CComposeEdit, CRichEditCtrl)

namespace {

// Index order; the providers' pages match them with exact case.
const char* const kSmileyCodes[kSmileyCount] = {
    ":)",       "#_#",      "8*)",      ":D",       ":\">",     ":P",       "B_)",      "B_I",
    "^_*",      ":$",       ":|",       ":(",       ":.(",      ":_(",      ">:(",      ":V",
    "*_*",      ":^",       ":?",       ":!",       "=:|",      ":%",       ":O",       ":X",
    "|-)",      ":Z",       ":9",       ":T",       ":-*",      "*_/",      ":#|",      ":69",
    "//shuang", "//qiang",  "//ku",     "//zan",    "//heart",  "//break",  "//F",      "//W",
    "//mail",   "//strong", "//weak",   "//share",  "//phone",  "//mobile", "//kiss",   "//V",
    "//sun",    "//moon",   "//star",   "(!)",      "//TV",     "//clock",  "//gift",   "//cash",
    "//coffee", "//rice",   "//watermelon", "//tomato", "//pill", "//pig",  "//football", "//shit",
};

// Codes that contain an earlier code are converted first: "=:|" holds ":|",
// ">:(" holds ":(".
const int kPrePass[] = {20, 14};

// Keeps change notices from reaching the view while a pass rewrites the body.
class EventMaskOff {
public:
    explicit EventMaskOff(CRichEditCtrl& edit) : m_edit(edit), m_mask(edit.SetEventMask(ENM_NONE)) {}
    ~EventMaskOff() { m_edit.SetEventMask(m_mask); }

private:
    CRichEditCtrl& m_edit;
    DWORD m_mask;
};

template <typename T>
void ReleaseIf(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

LPCTSTR GetSmileyCode(int index)
{
    return index >= 0 && index < kSmileyCount ? kSmileyCodes[index] : nullptr;
}

void CComposeEdit::InsertSmiley(HBITMAP hBitmap, int nIndex)
{
    // The source owns the bitmap from here on and frees it with itself.
    COleDataSource source;
    STGMEDIUM medium{};
    medium.tymed = TYMED_GDI;
    medium.hBitmap = hBitmap;
    medium.pUnkForRelease = nullptr;
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    source.CacheData(CF_BITMAP, &medium, &format);

    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    IRichEditOle* ole = nullptr;
    IOleClientSite* site = nullptr;
    IOleObject* object = nullptr;
    auto releaseAll = [&] {
        ReleaseIf(object);
        ReleaseIf(site);
        ReleaseIf(ole);
        ReleaseIf(storage);
        ReleaseIf(bytes);
    };
    HRESULT hr = CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
    if (SUCCEEDED(hr))
        hr = StgCreateDocfileOnILockBytes(bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage);
    if (SUCCEEDED(hr)) {
        ole = GetIRichEditOle();
        hr = ole ? ole->GetClientSite(&site) : E_UNEXPECTED;
    }
    if (SUCCEEDED(hr)) {
        IDataObject* data = static_cast<IDataObject*>(source.GetInterface(&IID_IDataObject));
        hr = data ? OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_FORMAT, &format, site, storage,
                                            reinterpret_cast<void**>(&object))
                  : E_NOINTERFACE;
    }
    CLSID clsid{};
    if (SUCCEEDED(hr))
        hr = object->GetUserClassID(&clsid);
    if (SUCCEEDED(hr)) {
        OleSetContainedObject(object, TRUE);
        REOBJECT record{};
        record.cbStruct = sizeof record;
        record.cp = REO_CP_SELECTION;
        record.clsid = clsid;
        record.poleobj = object;
        record.pstg = storage;
        record.polesite = site;
        record.sizel = SIZEL{0, 0};
        record.dvaspect = DVASPECT_CONTENT;
        record.dwFlags = 0;
        record.dwUser = static_cast<DWORD>(nIndex);
        hr = ole->InsertObject(&record);
    }
    releaseAll();
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

HBITMAP CComposeEdit::MakeSmileyBitmap(CImageList* pImageList, int nIndex)
{
    IMAGEINFO info{};
    if (!pImageList || !m_hWnd || !pImageList->GetImageInfo(nIndex, &info))
        return nullptr;
    // The body answers its previous colour when set back to the system's.
    const COLORREF background = SetBackgroundColor(TRUE, 0);
    SetBackgroundColor(FALSE, background);
    const int width = info.rcImage.right - info.rcImage.left;
    const int height = info.rcImage.bottom - info.rcImage.top;
    CClientDC screen(nullptr);
    CDC dc;
    CBitmap bitmap;
    if (!dc.CreateCompatibleDC(&screen) || !bitmap.CreateCompatibleBitmap(&screen, width, height))
        return nullptr;
    CBitmap* old = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, width, height, background);
    pImageList->Draw(&dc, nIndex, CPoint(0, 0), ILD_NORMAL);
    dc.SelectObject(old);
    return static_cast<HBITMAP>(bitmap.Detach());
}

void CComposeEdit::ReplaceSmileyCodes(const std::function<HBITMAP(int)>& makeBitmap)
{
    EventMaskOff quiet(*this);
    auto convert = [&](int index) {
        LPCTSTR code = kSmileyCodes[index];
        const long length = static_cast<long>(std::strlen(code));
        LONG from = 0;
        for (;;) {
            FINDTEXTEX find{{from, -1}, code, {0, 0}};
            const LONG at = FindText(FR_DOWN | FR_MATCHCASE, &find);
            if (at < 0)
                break;
            HBITMAP bitmap = makeBitmap ? makeBitmap(index) : nullptr;
            if (!bitmap) {
                from = at + length;
                continue;
            }
            SetSel(at, at + length);
            ReplaceSel("", FALSE);
            try {
                InsertSmiley(bitmap, index);
                from = at + 1;
            } catch (CException* e) {
                // The code goes back where it was, as text.
                e->Delete();
                SetSel(at, at);
                ReplaceSel(code, FALSE);
                from = at + length;
            }
        }
    };
    for (int index : kPrePass)
        convert(index);
    for (int index = 0; index < kSmileyCount; ++index)
        convert(index);
}

CString CComposeEdit::GetTextWithSmileyCodes() const
{
    CString body;
    GetWindowText(body);
    std::string text(body.View());
    IRichEditOle* ole = GetIRichEditOle();
    if (!ole)
        return body;
    // Object positions count bytes of the text, as the text does.
    long offset = 0;
    const LONG count = ole->GetObjectCount();
    for (LONG k = 0; k < count; ++k) {
        REOBJECT record{};
        record.cbStruct = sizeof record;
        if (ole->GetObject(k, &record, REO_GETOBJ_NO_INTERFACES) != S_OK)
            continue;
        LPCTSTR code = GetSmileyCode(static_cast<int>(record.dwUser));
        const long at = record.cp + offset;
        if (!code || at < 0 || at >= static_cast<long>(text.size()))
            continue;
        text.replace(static_cast<size_t>(at), 1, code);
        offset += static_cast<long>(std::strlen(code)) - 1;
    }
    ole->Release();
    return CString(std::move(text));
}
