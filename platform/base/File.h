// CFile and CStdioFile over the file layer of FileApi.h. Failures are
// results, never exceptions: Open reports through its CFileException
// argument, Read returns the count read, Write and Close return FALSE.
// A file opened with modeCreate (and without modeNoTruncate) is written to a
// temporary file and replaces the old one when closed; after a failed write
// the old file stays.
#pragma once

#include "platform/base/FileApi.h"
#include "platform/base/String.h"

#include <cstdio>

class CFileException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG osError = -1, LPCTSTR fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    virtual ~CFile(); // closes (and commits) an open file
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    virtual UINT Read(void* buffer, UINT count);
    virtual BOOL Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from); // the new position; (ULONGLONG)-1 on failure
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    virtual BOOL Flush();
    virtual BOOL Close();
    virtual void Abort(); // closes, ignoring failures
    BOOL IsOpen() const;

    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;

protected:
    static void FillError(CFileException* error, LPCTSTR fileName);

    CString m_strFileName;
};

// A CFile over a standard stream, for text read and written by lines. Text
// and binary modes are the same here: lines end with "\n"; ReadString also
// drops a "\r" before it.
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    ~CStdioFile() override;

    BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    BOOL Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetLength() const override;
    ULONGLONG GetPosition() const override;
    BOOL Flush() override;
    BOOL Close() override;
    void Abort() override;

    // The next line without its line end; FALSE at the end of the file.
    BOOL ReadString(CString& line);
    // Up to max - 1 bytes of the next line, its "\n" kept; null at the end.
    LPTSTR ReadString(LPTSTR buffer, UINT max);
    BOOL WriteString(LPCTSTR text);

    FILE* m_pStream = nullptr;
};
