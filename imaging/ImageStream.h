// CImageStream: the byte stream every codec reads and writes through.
#pragma once

#include "platform/base/Types.h"

#include <cstddef>

class CImageStream {
public:
    virtual ~CImageStream() = default;
    virtual bool Close() = 0;
    // Number of whole items read or written.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin: 0 from the start, 1 from the current position, 2 from the end.
    virtual bool Seek(LONG offset, int origin) = 0;
    virtual LONG Tell() = 0;
    virtual LONG Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual LONG Error() = 0;
    virtual bool PutC(BYTE c) { return Write(&c, 1, 1) == 1; }
    virtual LONG GetC() = 0;
};
