// A CImageStream over bytes in memory: what Save encodes into before the file
// is replaced in one step.
#pragma once

#include "imaging/ImageStream.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace tavrin {

class ImageMemoryStream : public CImageStream {
public:
    ImageMemoryStream() = default;
    ImageMemoryStream(const void* data, size_t size)
        : m_bytes(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size) {}

    bool Close() override { return true; }
    size_t Read(void* buffer, size_t size, size_t count) override
    {
        if (size == 0 || m_pos >= m_bytes.size())
            return 0;
        size_t items = (m_bytes.size() - m_pos) / size;
        if (items > count)
            items = count;
        std::memcpy(buffer, m_bytes.data() + m_pos, items * size);
        m_pos += items * size;
        return items;
    }
    size_t Write(const void* buffer, size_t size, size_t count) override
    {
        size_t n = size * count;
        if (m_pos + n > m_bytes.size())
            m_bytes.resize(m_pos + n);
        if (n)
            std::memcpy(m_bytes.data() + m_pos, buffer, n);
        m_pos += n;
        return count;
    }
    bool Seek(LONG offset, int origin) override
    {
        long long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<long long>(m_pos)
                                                                      : static_cast<long long>(m_bytes.size());
        if (base + offset < 0)
            return false;
        m_pos = static_cast<size_t>(base + offset);
        return true;
    }
    LONG Tell() override { return static_cast<LONG>(m_pos); }
    LONG Size() override { return static_cast<LONG>(m_bytes.size()); }
    bool Flush() override { return true; }
    bool Eof() override { return m_pos >= m_bytes.size(); }
    LONG Error() override { return 0; }
    LONG GetC() override { return m_pos < m_bytes.size() ? m_bytes[m_pos++] : -1; }

    const std::vector<BYTE>& Bytes() const { return m_bytes; }

private:
    std::vector<BYTE> m_bytes;
    size_t m_pos = 0;
};

} // namespace tavrin
