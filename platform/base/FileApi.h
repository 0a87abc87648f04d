// Win32-shaped file and folder calls over POSIX. Every path is the program's
// form (GBK, '\' separators) and goes through NativePath. Failures return the
// documented failure value and set GetLastError.
//
// Differences from a plain POSIX mapping that the program relies on:
// - The read-only attribute is the absence of every write bit; a read-only
//   file cannot be opened for writing, overwritten or deleted, whoever runs
//   the program (root included), until the attribute is cleared.
// - Files created or truncated for writing (CREATE_ALWAYS, TRUNCATE_EXISTING,
//   CopyFileA, OpenFile "w") are written to a temporary file beside the target
//   and renamed over it when closed, so a failure keeps the old file.
// - Listings (FindFirstFileA) are sorted by name in byte order.
#pragma once

#include "platform/base/Types.h"

#include <cstdio>
#include <string>

// Access, sharing and creation
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

// Attributes
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

// Error codes of the file layer beyond the shared ones
#ifndef ERROR_TOO_MANY_OPEN_FILES
#define ERROR_TOO_MANY_OPEN_FILES 4L
#endif
#ifndef ERROR_FILENAME_EXCED_RANGE
#define ERROR_FILENAME_EXCED_RANGE 206L
#endif

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;

// 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
typedef FILETIME* LPFILETIME;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATA;

// Files. Sharing flags are accepted and not enforced. The template handle
// and the overlapped pointer must be null.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
// CloseHandle (KernelObject.h) closes files and commits created ones.
BOOL CloseHandle(HANDLE handle);

// Folders, deletion, copying, attributes
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR pathName);
BOOL DeleteFileA(LPCSTR fileName);
BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);
DWORD GetFileAttributesA(LPCSTR fileName);
BOOL SetFileAttributesA(LPCSTR fileName, DWORD fileAttributes);

// Listings: pattern = folder + '\' + name with '*' and '?' ("*.*" matches
// every name, "." and ".." included). Results come sorted by name.
HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData);
BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData);
BOOL FindClose(HANDLE findFile);

// Module and temporary paths. Both copy at most size - 1 characters and a NUL.
// GetModuleFileNameA: the program folder + '\' + the executable's name; the
// length copied, or size with ERROR_INSUFFICIENT_BUFFER when cut short.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// GetTempPathA: the temporary folder with a trailing '\'; the length copied,
// or the size needed (NUL included) when the buffer is too small.
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);

// The unsuffixed names, as multibyte code writes them.
inline HANDLE CreateFile(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                         DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    return CreateFileA(fileName, desiredAccess, shareMode, security, creationDisposition, flagsAndAttributes,
                       templateFile);
}
inline BOOL CreateDirectory(LPCSTR pathName, LPSECURITY_ATTRIBUTES security) { return CreateDirectoryA(pathName, security); }
inline BOOL RemoveDirectory(LPCSTR pathName) { return RemoveDirectoryA(pathName); }
inline BOOL DeleteFile(LPCSTR fileName) { return DeleteFileA(fileName); }
inline BOOL CopyFile(LPCSTR existing, LPCSTR newName, BOOL failIfExists) { return CopyFileA(existing, newName, failIfExists); }
inline DWORD GetFileAttributes(LPCSTR fileName) { return GetFileAttributesA(fileName); }
inline BOOL SetFileAttributes(LPCSTR fileName, DWORD attributes) { return SetFileAttributesA(fileName, attributes); }
inline HANDLE FindFirstFile(LPCSTR fileName, LPWIN32_FIND_DATAA findData) { return FindFirstFileA(fileName, findData); }
inline BOOL FindNextFile(HANDLE findFile, LPWIN32_FIND_DATAA findData) { return FindNextFileA(findFile, findData); }
inline DWORD GetModuleFileName(HMODULE module, LPSTR fileName, DWORD size) { return GetModuleFileNameA(module, fileName, size); }
inline DWORD GetTempPath(DWORD bufferLength, LPSTR buffer) { return GetTempPathA(bufferLength, buffer); }

namespace tavrin {

// fopen for a program path. Modes "w"/"wb" write to a temporary file that
// fclose renames over the target (a failed close keeps the old file); other
// modes open the file itself. Null with GetLastError set on failure.
FILE* OpenFile(const char* gbkPath, const char* mode);

// Reads a whole file; false (and out empty) when it cannot be read.
bool ReadWholeFile(const char* gbkPath, std::string& out);

} // namespace tavrin
