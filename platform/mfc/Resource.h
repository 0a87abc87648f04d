// The framework's resource handle and the helpers that read string
// resources: message boxes and prompts by id, %1/%2 substitution.
#pragma once

#include "platform/base/String.h"
#include "platform/win/Resource.h"

HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The module that holds the resource (the resource handle, else the program).
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// The string resource, empty when there is none.
BOOL AfxLoadString(UINT nIDS, CString& rString);
// Replaces "%1" (and "%2") of the string resource with the texts.
void AfxFormatString1(CString& rString, UINT nIDS, LPCTSTR lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, LPCTSTR lpsz1, LPCTSTR lpsz2);
void AfxFormatStrings(CString& rString, LPCTSTR lpszFormat, LPCTSTR const* rglpsz, int nString);
// A message box owned by the main window, captioned with the application's name.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = 0, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = 0, UINT nIDHelp = static_cast<UINT>(-1));
