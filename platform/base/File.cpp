#include "platform/base/File.h"

#include "platform/base/FileInternal.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
        return hardIO;
    default: return genericException;
    }
}

CFile::~CFile()
{
    if (IsOpen())
        CFile::Close();
}

void CFile::FillError(CFileException* error, LPCTSTR fileName)
{
    if (!error)
        return;
    LONG os = static_cast<LONG>(GetLastError());
    error->m_lOsError = os;
    error->m_cause = CFileException::OsErrorToException(os);
    error->m_strFileName = CString(fileName);
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    if (IsOpen())
        Close();
    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        FillError(error, fileName);
        return FALSE;
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    HANDLE h = CreateFileA(fileName, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        FillError(error, fileName);
        return FALSE;
    }
    m_hFile = h;
    m_strFileName = CString(fileName);
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr))
        return 0;
    return read;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    DWORD written = 0;
    return WriteFile(m_hFile, buffer, count, &written, nullptr);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    int fd = tavrin::FileDescriptor(m_hFile);
    if (fd < 0)
        return static_cast<ULONGLONG>(-1);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
    off_t position = whence < 0 ? -1 : lseek(fd, static_cast<off_t>(offset), whence);
    if (position < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<ULONGLONG>(-1);
    }
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const
{
    int fd = tavrin::FileDescriptor(m_hFile);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0)
        return 0;
    return static_cast<ULONGLONG>(st.st_size);
}

ULONGLONG CFile::GetPosition() const
{
    int fd = tavrin::FileDescriptor(m_hFile);
    off_t position = fd < 0 ? -1 : lseek(fd, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

BOOL CFile::Flush()
{
    int fd = tavrin::FileDescriptor(m_hFile);
    return fd >= 0 ? TRUE : FALSE; // writes go straight to the descriptor
}

BOOL CFile::Close()
{
    if (!IsOpen())
        return TRUE;
    BOOL ok = CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName = CString();
    return ok;
}

void CFile::Abort()
{
    Close();
}

BOOL CFile::IsOpen() const
{
    return m_hFile != INVALID_HANDLE_VALUE ? TRUE : FALSE;
}

CString CFile::GetFileName() const
{
    std::string_view path = m_strFileName.View();
    size_t start = 0;
    const char* begin = path.data();
    const char* endp = begin + path.size();
    for (const char* p = begin; p < endp; p += tavrin::CharLength(p, endp)) {
        if (*p == '\\')
            start = static_cast<size_t>(p - begin) + 1;
    }
    return CString(path.substr(start));
}

// CStdioFile

CStdioFile::~CStdioFile()
{
    if (m_pStream)
        CStdioFile::Close();
}

BOOL CStdioFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_pStream)
        Close();
    const bool readWrite = (openFlags & 3) == modeReadWrite;
    std::string mode;
    if (openFlags & modeCreate)
        mode = (openFlags & modeNoTruncate) ? "a" : "w";
    else if ((openFlags & 3) == modeWrite)
        mode = "a";
    else
        mode = "r";
    if (readWrite)
        mode += '+';
    mode += 'b';
    FILE* stream = tavrin::OpenFile(fileName, mode.c_str());
    if (!stream) {
        FillError(error, fileName);
        return FALSE;
    }
    m_pStream = stream;
    m_strFileName = CString(fileName);
    return TRUE;
}

UINT CStdioFile::Read(void* buffer, UINT count)
{
    if (!m_pStream)
        return 0;
    return static_cast<UINT>(fread(buffer, 1, count, m_pStream));
}

BOOL CStdioFile::Write(const void* buffer, UINT count)
{
    if (!m_pStream)
        return tavrin::FailWith(ERROR_INVALID_HANDLE);
    if (fwrite(buffer, 1, count, m_pStream) != count)
        return tavrin::FailWith(ERROR_WRITE_FAULT);
    return TRUE;
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from)
{
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
    if (!m_pStream || whence < 0 || fseeko(m_pStream, static_cast<off_t>(offset), whence) != 0)
        return static_cast<ULONGLONG>(-1);
    return GetPosition();
}

ULONGLONG CStdioFile::GetLength() const
{
    if (!m_pStream)
        return 0;
    off_t here = ftello(m_pStream);
    if (here < 0 || fseeko(m_pStream, 0, SEEK_END) != 0)
        return 0;
    off_t length = ftello(m_pStream);
    fseeko(m_pStream, here, SEEK_SET);
    return length < 0 ? 0 : static_cast<ULONGLONG>(length);
}

ULONGLONG CStdioFile::GetPosition() const
{
    off_t position = m_pStream ? ftello(m_pStream) : -1;
    return position < 0 ? 0 : static_cast<ULONGLONG>(position);
}

BOOL CStdioFile::Flush()
{
    return m_pStream && fflush(m_pStream) == 0 ? TRUE : FALSE;
}

BOOL CStdioFile::Close()
{
    if (!m_pStream)
        return TRUE;
    BOOL ok = fclose(m_pStream) == 0 ? TRUE : FALSE;
    m_pStream = nullptr;
    m_strFileName = CString();
    return ok;
}

void CStdioFile::Abort()
{
    Close();
}

BOOL CStdioFile::ReadString(CString& line)
{
    line = CString();
    if (!m_pStream)
        return FALSE;
    std::string text;
    int c;
    bool any = false;
    while ((c = fgetc(m_pStream)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        text += static_cast<char>(c);
    }
    if (!any)
        return FALSE;
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = CString(std::move(text));
    return TRUE;
}

LPTSTR CStdioFile::ReadString(LPTSTR buffer, UINT max)
{
    if (!m_pStream || !buffer || max == 0 || max > static_cast<UINT>(INT32_MAX))
        return nullptr;
    return fgets(buffer, static_cast<int>(max), m_pStream);
}

BOOL CStdioFile::WriteString(LPCTSTR text)
{
    if (!m_pStream || !text)
        return FALSE;
    return fputs(text, m_pStream) >= 0 ? TRUE : FALSE;
}
