#include "platform/mfc/MemFile.h"

#include <cstdlib>
#include <cstring>
#include <limits>

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes ? nGrowBytes : 1) {}

CMemFile::CMemFile(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(0)
{
    Attach(pBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() { Close(); }

void CMemFile::FreeBlock()
{
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
}

void CMemFile::Attach(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    FreeBlock();
    m_lpBuffer = pBuffer;
    m_nBufferSize = pBuffer ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_nPosition = 0;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* block = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return block;
}

BOOL CMemFile::GrowFile(SIZE_T dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return TRUE;
    if (m_nGrowBytes == 0)
        return FALSE;
    SIZE_T newSize = m_nBufferSize;
    while (newSize < dwNewLen) {
        if (newSize > std::numeric_limits<SIZE_T>::max() - m_nGrowBytes)
            return FALSE;
        newSize += m_nGrowBytes;
    }
    BYTE* grown;
    if (m_bAutoDelete) {
        grown = static_cast<BYTE*>(std::realloc(m_lpBuffer, newSize));
    } else {
        // The caller's block is never reallocated: the file moves to one of its own.
        grown = static_cast<BYTE*>(std::malloc(newSize));
        if (grown && m_nFileSize)
            std::memcpy(grown, m_lpBuffer, m_nFileSize);
    }
    if (!grown)
        return FALSE;
    m_lpBuffer = grown;
    m_nBufferSize = newSize;
    m_bAutoDelete = TRUE;
    return TRUE;
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_nPosition >= m_nFileSize || count == 0)
        return 0;
    SIZE_T n = m_nFileSize - m_nPosition;
    if (n > count)
        n = count;
    std::memcpy(buffer, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

BOOL CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return TRUE;
    if (m_nPosition > std::numeric_limits<SIZE_T>::max() - count)
        return FALSE;
    SIZE_T end = m_nPosition + count;
    if (!GrowFile(end))
        return FALSE;
    if (m_nPosition > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, buffer, count);
    m_nPosition = end;
    if (end > m_nFileSize)
        m_nFileSize = end;
    return TRUE;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_nPosition)
                                                        : static_cast<LONGLONG>(m_nFileSize);
    LONGLONG target = base + offset;
    if (target < 0)
        return static_cast<ULONGLONG>(-1);
    m_nPosition = static_cast<SIZE_T>(target);
    return m_nPosition;
}

BOOL CMemFile::SetLength(ULONGLONG newLength)
{
    if (newLength > m_nBufferSize && !GrowFile(static_cast<SIZE_T>(newLength)))
        return FALSE;
    if (newLength > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, static_cast<SIZE_T>(newLength) - m_nFileSize);
    m_nFileSize = static_cast<SIZE_T>(newLength);
    if (m_nPosition > m_nFileSize)
        m_nPosition = m_nFileSize;
    return TRUE;
}

BOOL CMemFile::Close()
{
    FreeBlock();
    m_bAutoDelete = TRUE;
    return TRUE;
}
