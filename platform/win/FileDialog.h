// The open and save file dialogs. The answer comes from, in order: a scripted
// answer a test queued, the installed presenter (the desktop's file chooser),
// or else (headless) a cancel, logged. The owner's top-level window is
// disabled while the dialog is open. A chosen name without an extension gets
// the default one; a save over an existing file with OFN_OVERWRITEPROMPT asks
// through a message box, and No goes back to the dialog.
#pragma once

#include "platform/base/Types.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
};
typedef OPENFILENAMEA OPENFILENAME;
typedef OPENFILENAMEA* LPOPENFILENAMEA;
typedef OPENFILENAMEA* LPOPENFILENAME;

// The record sizes callers of the original platform pass (with and without
// the last three fields); sizeof(OPENFILENAMEA) is accepted too.
#define OPENFILENAME_SIZE_FULL 88
#define OPENFILENAME_SIZE_VERSION_400 76

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000

#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);
inline BOOL GetOpenFileName(LPOPENFILENAMEA ofn) { return GetOpenFileNameA(ofn); }
inline BOOL GetSaveFileName(LPOPENFILENAMEA ofn) { return GetSaveFileNameA(ofn); }
// The reason the calling thread's last dialog returned FALSE; 0 for a cancel.
DWORD CommDlgExtendedError();

namespace tavrin::win {

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;
    std::string title;  // GBK; empty: the usual title
    std::vector<std::pair<std::string, std::string>> filters; // description, patterns ("*.htm;*.html")
    int filterIndex = 1; // 1-based
    std::string folder; // GBK program path; empty: the current folder
    std::string name;   // the suggested file name, GBK
    std::string defaultExtension;
    DWORD flags = 0;
};

// Shows the dialog; false when the user cancelled. path gets a GBK program
// path (a bare name is taken in the request's folder); filterIndex the
// filter in use.
using FileDialogPresenter = std::function<bool(const FileDialogRequest& request, std::string& path, int& filterIndex)>;
void SetFileDialogPresenter(FileDialogPresenter presenter);

// Tests: each dialog takes the next queued answer; an empty path cancels.
void QueueFileDialogAnswer(const std::string& gbkPath, int filterIndex = 0);
void ClearFileDialogAnswers();
// Every dialog shown since the last call, oldest first.
std::vector<FileDialogRequest> TakeFileDialogLog();

} // namespace tavrin::win
