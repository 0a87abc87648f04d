#include "toolkit/commandbars/XTPResourceManager.h"

#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Menu.h"
#include "platform/win/ResourceImage.h"
#include "toolkit/controls/XTGlobalData.h"

#include <memory>

namespace {

// The toolkit's module when it holds the resource, else the application's.
HMODULE ModuleFor(LPCSTR name, LPCSTR type)
{
    HMODULE toolkit = XTGetResourceHandle();
    if (toolkit && ::FindResourceA(toolkit, name, type))
        return toolkit;
    return AfxGetResourceHandle();
}

} // namespace

BOOL CXTPResourceManager::LoadString(CString* pString, UINT nID)
{
    if (!pString)
        return FALSE;
    HMODULE toolkit = XTGetResourceHandle();
    if (toolkit && ::FindResourceA(toolkit, MAKEINTRESOURCEA((nID >> 4) + 1), RT_STRING)) {
        std::string gbk;
        if (tavrin::win::LoadResourceString(toolkit, nID, gbk)) {
            *pString = gbk.c_str();
            return TRUE;
        }
    }
    return AfxLoadString(nID, *pString) && !pString->IsEmpty();
}

BOOL CXTPResourceManager::LoadMenu(CMenu* pMenu, UINT nID)
{
    if (!pMenu)
        return FALSE;
    HMENU hMenu = ::LoadMenuA(ModuleFor(MAKEINTRESOURCEA(nID), RT_MENU), MAKEINTRESOURCEA(nID));
    return hMenu && pMenu->Attach(hMenu);
}

BOOL CXTPResourceManager::LoadBitmap(CBitmap* pBitmap, UINT nID)
{
    if (!pBitmap)
        return FALSE;
    HBITMAP hBitmap = ::LoadBitmapA(ModuleFor(MAKEINTRESOURCEA(nID), RT_BITMAP), MAKEINTRESOURCEA(nID));
    return hBitmap && pBitmap->Attach(hBitmap);
}

LPCVOID CXTPResourceManager::LoadDialogTemplate(LPCTSTR lpszTemplate)
{
    HMODULE module = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceA(module, lpszTemplate, RT_DIALOG);
    if (!resource)
        return nullptr;
    return ::LockResource(::LoadResource(module, resource));
}

CXTPResourceManager* XTPGetResourceManager()
{
    static std::unique_ptr<CXTPResourceManager> manager(new CXTPResourceManager);
    return manager.get();
}
