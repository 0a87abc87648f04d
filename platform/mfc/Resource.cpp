#include "platform/mfc/Resource.h"

#include "platform/mfc/WinApp.h"
#include "platform/win/MessageBox.h"

#include <atomic>

namespace {
std::atomic<HINSTANCE> resourceHandle{nullptr};
} // namespace

HINSTANCE AfxGetResourceHandle() { return resourceHandle.load(); }
void AfxSetResourceHandle(HINSTANCE hInstResource) { resourceHandle.store(hInstResource); }

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType)
{
    HINSTANCE handle = AfxGetResourceHandle();
    if (handle && ::FindResourceA(handle, lpszName, lpszType))
        return handle;
    return nullptr; // the program's own module
}

BOOL AfxLoadString(UINT nIDS, CString& rString)
{
    std::string text;
    if (!tavrin::win::LoadResourceString(AfxGetResourceHandle(), nIDS, text) &&
        !tavrin::win::LoadResourceString(nullptr, nIDS, text)) {
        rString.Empty();
        return FALSE;
    }
    rString = text.c_str();
    return TRUE;
}

void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString)
{
    // One pass over the format, so a text that holds "%2" is never replaced again.
    CString result;
    for (const char* p = lpszFormat; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9' && p[1] - '1' < nString) {
            result += rglpsz[p[1] - '1'] ? rglpsz[p[1] - '1'] : "";
            ++p;
            continue;
        }
        // A double-byte character is copied whole, so its trail byte is never read as '%'.
        if (static_cast<unsigned char>(p[0]) >= 0x81 && static_cast<unsigned char>(p[0]) <= 0xFE && p[1]) {
            result += CString(p, 2);
            ++p;
            continue;
        }
        result += *p;
    }
    rString = result;
}

void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1)
{
    CString format;
    AfxLoadString(nIDS, format);
    AfxFormatStrings(rString, format, &lpsz1, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2)
{
    CString format;
    AfxLoadString(nIDS, format);
    LPCTSTR texts[2] = {lpsz1, lpsz2};
    AfxFormatStrings(rString, format, texts, 2);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    CWinApp* app = AfxGetApp();
    LPCTSTR caption = app && app->m_pszAppName ? app->m_pszAppName : nullptr;
    HWND owner = AfxHwndOf(CWnd::GetSafeOwner());
    return ::MessageBoxA(owner, lpszText, caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    AfxLoadString(nIDPrompt, text);
    return AfxMessageBox(text, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}
