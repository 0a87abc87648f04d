#include "imaging/ImageIOFile.h"

#include "platform/base/FileApi.h"

#include <cstdio>

CImageIOFile::~CImageIOFile()
{
    Close();
}

bool CImageIOFile::Open(const char* path, const char* mode)
{
    Close();
    m_file = path && *path ? tavrin::OpenFile(path, mode) : nullptr;
    m_owned = true;
    return m_file != nullptr;
}

bool CImageIOFile::Close()
{
    if (!m_file || !m_owned)
        return true;
    bool ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}

size_t CImageIOFile::Read(void* buffer, size_t size, size_t count)
{
    return m_file ? std::fread(buffer, size, count, m_file) : 0;
}

size_t CImageIOFile::Write(const void* buffer, size_t size, size_t count)
{
    return m_file ? std::fwrite(buffer, size, count, m_file) : 0;
}

bool CImageIOFile::Seek(LONG offset, int origin)
{
    return m_file && std::fseek(m_file, offset, origin) == 0;
}

LONG CImageIOFile::Tell()
{
    return m_file ? static_cast<LONG>(std::ftell(m_file)) : 0;
}

LONG CImageIOFile::Size()
{
    if (!m_file)
        return -1;
    long pos = std::ftell(m_file);
    std::fseek(m_file, 0, SEEK_END);
    long size = std::ftell(m_file);
    std::fseek(m_file, pos, SEEK_SET);
    return static_cast<LONG>(size);
}

bool CImageIOFile::Flush()
{
    return m_file && std::fflush(m_file) == 0;
}

bool CImageIOFile::Eof()
{
    return m_file ? std::feof(m_file) != 0 : true;
}

LONG CImageIOFile::Error()
{
    return m_file ? std::ferror(m_file) : -1;
}

bool CImageIOFile::PutC(BYTE c)
{
    return m_file && std::fputc(c, m_file) == c;
}

LONG CImageIOFile::GetC()
{
    return m_file ? std::getc(m_file) : -1;
}
