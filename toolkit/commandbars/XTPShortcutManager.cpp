#include "toolkit/commandbars/XTPShortcutManager.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Input.h"
#include "platform/win/MenuKey.h"

#include <cctype>
#include <memory>
#include <vector>

namespace {

struct KeyName {
    UINT nKey;
    const char* lpszName;
};

// Names for keys the keyboard layout gives none for.
const KeyName kKeyNames[] = {
    {'0', "0"}, {'1', "1"}, {'2', "2"}, {'3', "3"}, {'4', "4"}, {'5', "5"}, {'6', "6"}, {'7', "7"}, {'8', "8"},
    {'9', "9"}, {'A', "A"}, {'B', "B"}, {'C', "C"}, {'D', "D"}, {'E', "E"}, {'F', "F"}, {'G', "G"}, {'H', "H"},
    {'I', "I"}, {'J', "J"}, {'K', "K"}, {'L', "L"}, {'M', "M"}, {'N', "N"}, {'O', "O"}, {'P', "P"}, {'Q', "Q"},
    {'R', "R"}, {'S', "S"}, {'T', "T"}, {'U', "U"}, {'V', "V"}, {'W', "W"}, {'X', "X"}, {'Y', "Y"}, {'Z', "Z"},
    {0x01, "Left Button"}, {0x02, "Right Button"}, {0x03, "Ctrl+Break"}, {0x04, "Middle Button"},
    {0x08, "Back"}, {0x09, "Tab"}, {0x0C, "Clear"}, {0x0D, "Enter"}, {0x10, "Shift"}, {0x11, "Ctrl"},
    {0x12, "Alt"}, {0x13, "Pause"}, {0x14, "Caps Lock"}, {0x1B, "Esc"}, {0x20, "Space"}, {0x21, "Page Up"},
    {0x22, "Page Down"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left Arrow"}, {0x26, "Up Arrow"},
    {0x27, "Right Arrow"}, {0x28, "Down Arrow"}, {0x29, "Select"}, {0x2A, "Print"}, {0x2B, "Execute"},
    {0x2C, "Snapshot"}, {0x2D, "Ins"}, {0x2E, "Del"}, {0x2F, "Help"}, {0x5B, "Left Windows"},
    {0x5C, "Right Windows"}, {0x5D, "Application"}, {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6C, "Separator"},
    {0x6D, "Num -"}, {0x6E, "Num ."}, {0x6F, "Num /"}, {0x70, "F1"}, {0x71, "F2"}, {0x72, "F3"}, {0x73, "F4"},
    {0x74, "F5"}, {0x75, "F6"}, {0x76, "F7"}, {0x77, "F8"}, {0x78, "F9"}, {0x79, "F10"}, {0x7A, "F11"},
    {0x7B, "F12"}, {0x60, "Num 0"}, {0x61, "Num 1"}, {0x62, "Num 2"}, {0x63, "Num 3"}, {0x64, "Num 4"},
    {0x65, "Num 5"}, {0x66, "Num 6"}, {0x67, "Num 7"}, {0x68, "Num 8"}, {0x69, "Num 9"}, {0x90, "Num Lock"},
    {0x91, "Scrl Lock"}, {0xF6, "Attn"}, {0xF7, "Crsel"}, {0xF8, "Exsel"}, {0xF9, "Ereof"}, {0xFA, "Play"},
    {0xFB, "Zoom"}, {0xFC, "No Name"}, {0xFD, "Pa1"}, {0xFE, "Oem Clear"},
};
static_assert(sizeof kKeyNames / sizeof kKeyNames[0] == 108, "the key-name table has 108 entries");

} // namespace

char CXTPShortcutManager::ToUpper(char ch)
{
    char text[2] = {ch, 0};
    CString str(text);
    str.MakeUpper();
    return str.IsEmpty() ? ch : str[0];
}

void CXTPShortcutManager::FormatKey(CString& str, UINT nVirtKey, BOOL bLast)
{
    CString strKey;
    if (nVirtKey != 3) {
        LONG lScan = static_cast<LONG>(::MapVirtualKeyExA(nVirtKey, 0, ::GetKeyboardLayout(0)) << 16) | 1;
        if (nVirtKey >= 33 && nVirtKey <= 47)
            lScan |= 0x01000000L;
        char name[50] = {};
        ::GetKeyNameTextA(lScan, name, static_cast<int>(sizeof name));
        strKey = name;
    }
    if (!strKey.IsEmpty()) {
        strKey.MakeLower();
        for (int i = 0; i < strKey.GetLength(); ++i) {
            if (std::islower(static_cast<unsigned char>(strKey[i]))) {
                strKey.SetAt(i, static_cast<char>(std::toupper(static_cast<unsigned char>(strKey[i]))));
                break;
            }
        }
    } else {
        for (const KeyName& key : kKeyNames) {
            if (key.nKey == nVirtKey) {
                strKey = key.lpszName;
                break;
            }
        }
    }
    str += strKey;
    if (!bLast)
        str += '+';
}

CString CXTPShortcutManager::Format(const ACCEL* pAccel, int* pPriority)
{
    CString str;
    if (!pAccel)
        return str;
    int nPriority = 4;
    if (pAccel->key != 3) {
        if (pAccel->fVirt & FCONTROL)
            FormatKey(str, 0x11, FALSE);
        if (pAccel->fVirt & FSHIFT)
            FormatKey(str, 0x10, FALSE);
        if (pAccel->fVirt & FALT)
            FormatKey(str, 0x12, FALSE);
    }
    if (pAccel->fVirt & FCONTROL)
        nPriority = 3;
    else if (pAccel->fVirt & FALT)
        nPriority = 2;
    else if (pAccel->fVirt & FSHIFT)
        nPriority = 1;

    if (pAccel->key) {
        if (pAccel->fVirt & FVIRTKEY)
            FormatKey(str, pAccel->key, TRUE);
        else if (pAccel->key != 27)
            str += static_cast<char>(pAccel->key);
    } else if (!str.IsEmpty() && str[str.GetLength() - 1] == '+') {
        str.Delete(str.GetLength() - 1);
    }
    if (pPriority)
        *pPriority = nPriority;
    return str;
}

BOOL CXTPShortcutManager::FindAccelerator(HACCEL hAccel, UINT nCmd, CString& strShortcut)
{
    int nCount = hAccel ? ::CopyAcceleratorTableA(hAccel, nullptr, 0) : 0;
    std::vector<ACCEL> table(static_cast<size_t>(nCount > 0 ? nCount : 0));
    if (nCount > 0)
        nCount = ::CopyAcceleratorTableA(hAccel, table.data(), nCount);

    BOOL bFound = FALSE, bShown = FALSE;
    int nBest = 0;
    CString strBest;
    for (int i = 0; i < nCount; ++i) {
        if (table[static_cast<size_t>(i)].cmd != nCmd)
            continue;
        int nPriority = 0;
        CString str = Format(&table[static_cast<size_t>(i)], &nPriority);
        if (str == strShortcut)
            bShown = TRUE;
        if (!bFound || nPriority > nBest) {
            strBest = str;
            nBest = nPriority;
        }
        bFound = TRUE;
    }
    if (!bFound) {
        strShortcut.Empty();
        return FALSE;
    }
    if (!bShown)
        strShortcut = strBest;
    return TRUE;
}

BOOL CXTPShortcutManager::FindDefaultAccelerator(UINT nCmd, CString& strShortcut, CFrameWnd* pFrame)
{
    if (!pFrame) {
        CWnd* pMainWnd = AfxGetMainWnd();
        pFrame = pMainWnd ? pMainWnd->GetTopLevelFrame() : nullptr;
    }
    if (!pFrame || !pFrame->IsFrameWnd())
        return FALSE;
    HACCEL hAccel = pFrame->GetDefaultAccelerator();
    if (!hAccel)
        return FALSE;
    return FindAccelerator(hAccel, nCmd, strShortcut);
}

CXTPShortcutManager* XTPShortcutManager()
{
    static std::unique_ptr<CXTPShortcutManager> manager(new CXTPShortcutManager);
    return manager.get();
}
