// Texts of accelerators ("Ctrl+Shift+N") for menus and tooltips.
#pragma once

#include "platform/base/String.h"
#include "platform/win/Accelerator.h"

class CFrameWnd;

class CXTPShortcutManager {
public:
    CXTPShortcutManager() = default;
    virtual ~CXTPShortcutManager() = default;

    // The best text among the frame's default accelerators of the command;
    // FALSE (and an empty text) when there is none. A text already shown that
    // belongs to the command is kept. Null frame: the main window's frame.
    virtual BOOL FindDefaultAccelerator(UINT nCmd, CString& strShortcut, CFrameWnd* pFrame = nullptr);
    // The text of one accelerator; *pPriority ranks it (Ctrl 3, Alt 2, Shift 1, bare 4).
    virtual CString Format(const ACCEL* pAccel, int* pPriority);

    // The same choice over a table of accelerators.
    BOOL FindAccelerator(HACCEL hAccel, UINT nCmd, CString& strShortcut);

    static char ToUpper(char ch);
    // Appends the key's name, and a plus sign unless bLast.
    static void FormatKey(CString& str, UINT nVirtKey, BOOL bLast);
};

CXTPShortcutManager* XTPShortcutManager();
