// CImageIOFile: a CImageStream over a runtime library FILE.
#pragma once

#include "imaging/ImageStream.h"

#include <cstdio>

class CImageIOFile : public CImageStream {
public:
    // Over a stream of the caller's: not closed here.
    explicit CImageIOFile(FILE* file) : m_file(file), m_owned(false) {}
    CImageIOFile() : m_file(nullptr), m_owned(true) {}
    ~CImageIOFile() override;
    CImageIOFile(const CImageIOFile&) = delete;
    CImageIOFile& operator=(const CImageIOFile&) = delete;

    // Opens a file by its program path (GBK, backslashes allowed); the stream
    // is owned. False when it cannot be opened.
    bool Open(const char* path, const char* mode);

    bool Close() override;
    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    bool Flush() override;
    bool Eof() override;
    LONG Error() override;
    bool PutC(BYTE c) override;
    LONG GetC() override;

    FILE* GetFile() const { return m_file; }

private:
    FILE* m_file;
    bool m_owned;
};
