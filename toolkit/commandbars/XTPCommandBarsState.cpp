// Saving and loading the layout of the manager's bars and, with
// customisation on, the customised bars themselves.
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/mfc/Archive.h"
#include "platform/mfc/Exception.h"
#include "platform/mfc/MemFile.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPCommandBarList.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockState.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using tavrin::commandbars::kMaxBlobSize;
using tavrin::commandbars::kMaxRegistryBlob;

CString SectionName(LPCTSTR lpszProfileName, LPCTSTR lpszSuffix)
{
    return CString(lpszProfileName) + lpszSuffix;
}

// At most kMaxBlobSize bytes; FALSE for a bigger or unreadable file.
BOOL ReadBlobFile(LPCTSTR lpszPath, std::vector<BYTE>& data)
{
    FILE* pFile = tavrin::OpenFile(lpszPath, "rb");
    if (!pFile)
        return FALSE;
    data.resize(kMaxBlobSize + 1);
    const size_t nRead = std::fread(data.data(), 1, data.size(), pFile);
    const bool bError = std::ferror(pFile) != 0;
    std::fclose(pFile);
    data.resize(nRead);
    return !bError && nRead <= kMaxBlobSize;
}

BOOL WriteBlobFile(LPCTSTR lpszPath, const BYTE* pData, size_t nBytes)
{
    tavrin::AtomicFile file;
    if (!file.Open(lpszPath) || !file.Write(pData, nBytes) || !file.Commit())
        return FALSE;
    ::SetFileAttributesA(lpszPath, FILE_ATTRIBUTE_HIDDEN);
    return TRUE;
}

} // namespace

void CXTPCommandBars::AddLoadedToolBar(CXTPToolBar* pBar)
{
    pBar->InternalAddRef();
    pBar->SetCommandBars(this);
    if (!pBar->GetDockContext())
        pBar->EnableDocking(0x3F);
    const int nPosition = pBar->GetPosition();
    if (!pBar->SetPosition(nPosition >= xtpBarTop && nPosition <= xtpBarFloating ? nPosition : xtpBarTop)) {
        pBar->InternalRelease();
        return;
    }
    m_barList.push_back(pBar);
    OnToolBarAdded(pBar);
}

CString CXTPCommandBars::GetBlobFileName(LPCTSTR lpszProfileName) const
{
    if (!m_strBlobPath.IsEmpty())
        return m_strBlobPath;
    char szModule[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, szModule, MAX_PATH);
    return CString(szModule) + "-" + lpszProfileName;
}

void CXTPCommandBars::SaveCustomizedBars(CWinApp* pApp, LPCTSTR lpszProfileName, BOOL bOnlyCustomized)
{
    const CString strSection = SectionName(lpszProfileName, "-Controls");
    CXTPCommandBarsPropExchangeParam param;
    param.bSaveOnlyCustomized = bOnlyCustomized;
    param.pCommandBars = this;
    CXTPCommandBarList list;
    tavrin::commandbars::GenerateCommandBarList(this, list, param);

    CMemFile file(1024);
    BOOL bStored = FALSE;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        CXTPPropExchangeArchive px(ar);
        px.m_dwData = &param;
        bStored = list.DoPropExchange(&px);
        ar.Close();
    } catch (CException* e) {
        e->Delete();
        bStored = FALSE;
    }
    if (!bStored) {
        pApp->WriteProfileString(strSection, nullptr, nullptr);
        return;
    }
    const auto nBytes = static_cast<size_t>(file.GetLength());
    BYTE* pData = file.Detach();
    const CString strFile = GetBlobFileName(lpszProfileName);
    if (nBytes <= kMaxRegistryBlob) {
        if (pApp->WriteProfileBinary(strSection, "Controls", pData, static_cast<UINT>(nBytes)) &&
            pApp->WriteProfileInt(strSection, "LoadFromFile", 0))
            ::DeleteFileA(strFile);
    } else if (WriteBlobFile(strFile, pData, nBytes)) {
        // Named only once written: a failed write keeps the previous layout.
        pApp->WriteProfileString(strSection, "Controls", strFile);
        pApp->WriteProfileInt(strSection, "LoadFromFile", 1);
    }
    std::free(pData);
}

BOOL CXTPCommandBars::LoadCustomizedBars(CWinApp* pApp, LPCTSTR lpszProfileName, BOOL bSilent)
{
    const CString strSection = SectionName(lpszProfileName, "-Controls");
    std::vector<BYTE> data;
    if (pApp->GetProfileInt(strSection, "LoadFromFile", 0)) {
        const CString strFile = pApp->GetProfileString(strSection, "Controls", "");
        if (strFile.IsEmpty() || !ReadBlobFile(strFile, data))
            return FALSE;
    } else {
        BYTE* pData = nullptr;
        UINT nBytes = 0;
        if (!pApp->GetProfileBinary(strSection, "Controls", &pData, &nBytes))
            return FALSE;
        if (nBytes <= kMaxBlobSize)
            data.assign(pData, pData + nBytes);
        delete[] pData;
        if (nBytes > kMaxBlobSize)
            return FALSE;
    }
    return LoadCustomizedBars(data.data(), data.size(), bSilent);
}

BOOL CXTPCommandBars::LoadCustomizedBars(const BYTE* pData, size_t nBytes, BOOL bSilent)
{
    if (!pData || nBytes == 0 || nBytes > kMaxBlobSize)
        return FALSE;
    CXTPCommandBarsPropExchangeParam param;
    param.bSilent = bSilent;
    param.pCommandBars = this;
    // The list releases its bars when loading ends, however it ends.
    CXTPCommandBarList list;
    BOOL bLoaded = FALSE;
    try {
        CMemFile file(const_cast<BYTE*>(pData), static_cast<UINT>(nBytes), 0);
        CArchive ar(&file, CArchive::load, 4096);
        CXTPPropExchangeArchive px(ar);
        px.m_dwData = &param;
        bLoaded = list.DoPropExchange(&px) && tavrin::commandbars::RestoreCommandBarLinks(list);
    } catch (CException* e) {
        e->Delete();
        bLoaded = FALSE;
    }
    if (!bLoaded)
        return FALSE;
    tavrin::commandbars::RestoreCommandBarList(this, list, bSilent);
    // The menu bar becomes the loaded bar with id 1 once menu bars exist.
    return TRUE;
}

void CXTPCommandBars::SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    // Every value below reaches the registry file in one write.
    tavrin::win::RegistryBatch batch;
    CXTPDockState state;
    state.GetDockState(this);
    state.SaveSummary(pApp, lpszProfileName);
    state.SaveDockBarState(this, pApp, lpszProfileName);
    if (m_bCustomizeAvail)
        SaveCustomizedBars(pApp, lpszProfileName, bOnlyCustomized);
    m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    tavrin::win::RegistryBatch batch;
    if (m_bCustomizeAvail)
        LoadCustomizedBars(pApp, lpszProfileName, bSilent);
    CXTPDockState state;
    state.LoadSummary(pApp, lpszProfileName);
    state.LoadDockBarState(this, pApp, lpszProfileName);
    state.SetDockState(this);
    RecalcFrameLayout(TRUE);
    m_pOptions->bDirtyState = FALSE;
}
