// A file in memory: a growing block (by its growth step) or a block the
// caller attaches. Archives use it for byte blobs kept in the registry.
#pragma once

#include "platform/base/File.h"

class CMemFile : public CFile {
public:
    // Grows by nGrowBytes (at least 1) whenever a write needs room.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Over the caller's bytes; nGrowBytes 0 keeps the file within them.
    CMemFile(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // The attached bytes are the file's contents (its length is nBufferSize)
    // when nGrowBytes is 0, else an empty file that may use them as room.
    void Attach(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the block to the caller and empties the file. A block the file
    // allocated itself is freed with free().
    BYTE* Detach();

    UINT Read(void* buffer, UINT count) override;
    // FALSE when the file would have to grow but cannot.
    BOOL Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetLength() const override { return m_nFileSize; }
    ULONGLONG GetPosition() const override { return m_nPosition; }
    BOOL SetLength(ULONGLONG newLength);
    BOOL Flush() override { return TRUE; }
    BOOL Close() override;
    void Abort() override { Close(); }

    UINT GetGrowBytes() const { return m_nGrowBytes; }
    SIZE_T GetBufferSize() const { return m_nBufferSize; }

protected:
    BOOL GrowFile(SIZE_T dwNewLen);
    void FreeBlock();

    UINT m_nGrowBytes;
    SIZE_T m_nPosition = 0;
    SIZE_T m_nBufferSize = 0;
    SIZE_T m_nFileSize = 0;
    BYTE* m_lpBuffer = nullptr;
    BOOL m_bAutoDelete = TRUE; // the block is the file's own
};
