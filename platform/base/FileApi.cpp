#include "platform/base/FileApi.h"

#include "platform/base/AtomicWrite.h"
#include "platform/base/FileInternal.h"
#include "platform/base/Path.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ERROR_DIRECTORY
#define ERROR_DIRECTORY 267L
#endif

namespace tavrin {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ELOOP: return ERROR_INVALID_NAME;
    default: return ERROR_WRITE_FAULT;
    }
}

bool FailWithErrno(int error)
{
    SetLastError(ErrorFromErrno(error));
    return false;
}

bool FailWith(DWORD error)
{
    SetLastError(error);
    return false;
}

bool ToNative(const char* gbkPath, std::string& native)
{
    if (!gbkPath || !*gbkPath)
        return FailWith(ERROR_PATH_NOT_FOUND);
    native = NativePath(gbkPath);
    if (native.empty())
        return FailWith(ERROR_INVALID_NAME);
    return true;
}

FILETIME FileTimeFromTimespec(const struct timespec& t)
{
    // 1601-01-01 to 1970-01-01 in 100-ns units.
    const int64_t epochOffset = 116444736000000000LL;
    int64_t ticks = static_cast<int64_t>(t.tv_sec) * 10000000LL + t.tv_nsec / 100 + epochOffset;
    if (ticks < 0)
        ticks = 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return ft;
}

DWORD AttributesFromStat(const struct stat& st)
{
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    if (IsReadOnlyMode(st.st_mode))
        attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

FileObject::FileObject(int fd, std::string nativePath) : m_fd(fd), m_path(std::move(nativePath)) {}

FileObject::FileObject(std::unique_ptr<AtomicFile> atomic)
    : m_fd(atomic->Descriptor()), m_path(atomic->TargetPath()), m_atomic(std::move(atomic))
{
}

FileObject::~FileObject()
{
    if (m_atomic)
        m_atomic->Abort();
    else if (m_fd >= 0)
        close(m_fd);
}

bool FileObject::Close()
{
    bool ok;
    if (m_atomic) {
        ok = m_atomic->Commit();
    } else {
        ok = close(m_fd) == 0 || FailWithErrno(errno);
    }
    m_fd = -1;
    return ok;
}

bool FileObject::Write(const void* data, size_t size)
{
    if (m_atomic)
        return m_atomic->Write(data, size);
    return WriteAll(m_fd, data, size) || FailWithErrno(errno);
}

int FileDescriptor(HANDLE file)
{
    std::shared_ptr<FileObject> object = LookupHandleAs<FileObject>(file);
    if (!object || object->Descriptor() < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    return object->Descriptor();
}

} // namespace tavrin

using namespace tavrin;

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                   DWORD, HANDLE templateFile)
{
    std::string native;
    if (templateFile || !ToNative(fileName, native)) {
        if (templateFile)
            SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const bool reading = (desiredAccess & GENERIC_READ) != 0;
    const bool writing = (desiredAccess & GENERIC_WRITE) != 0;

    if (creationDisposition == CREATE_ALWAYS || creationDisposition == TRUNCATE_EXISTING) {
        if (!writing) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        struct stat st {};
        if (creationDisposition == TRUNCATE_EXISTING && stat(native.c_str(), &st) != 0) {
            FailWithErrno(errno);
            return INVALID_HANDLE_VALUE;
        }
        auto atomic = std::make_unique<AtomicFile>();
        if (!atomic->OpenNative(native))
            return INVALID_HANDLE_VALUE;
        return RegisterHandle(std::make_shared<FileObject>(std::move(atomic)));
    }

    int flags = O_CLOEXEC | (reading && writing ? O_RDWR : writing ? O_WRONLY : O_RDONLY);
    switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case OPEN_EXISTING: break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (writing) {
        struct stat st {};
        if (stat(native.c_str(), &st) == 0 && IsReadOnlyMode(st.st_mode)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
    }
    int fd = open(native.c_str(), flags, 0666);
    if (fd < 0) {
        int error = errno;
        SetLastError(error == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(error));
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return RegisterHandle(std::make_shared<FileObject>(fd, native));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped)
{
    if (bytesRead)
        *bytesRead = 0;
    if (overlapped || (!buffer && bytesToRead))
        return FailWith(ERROR_INVALID_PARAMETER);
    std::shared_ptr<FileObject> object = LookupHandleAs<FileObject>(file);
    if (!object || object->Descriptor() < 0)
        return FailWith(ERROR_INVALID_HANDLE);
    char* p = static_cast<char*>(buffer);
    DWORD total = 0;
    while (total < bytesToRead) {
        ssize_t n = read(object->Descriptor(), p + total, bytesToRead - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (bytesRead)
                *bytesRead = total;
            return FailWithErrno(errno == EISDIR ? EACCES : errno);
        }
        if (n == 0)
            break;
        total += static_cast<DWORD>(n);
    }
    if (bytesRead)
        *bytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped)
{
    if (bytesWritten)
        *bytesWritten = 0;
    if (overlapped || (!buffer && bytesToWrite))
        return FailWith(ERROR_INVALID_PARAMETER);
    std::shared_ptr<FileObject> object = LookupHandleAs<FileObject>(file);
    if (!object || object->Descriptor() < 0)
        return FailWith(ERROR_INVALID_HANDLE);
    if (!object->Write(buffer, bytesToWrite))
        return FALSE;
    if (bytesWritten)
        *bytesWritten = bytesToWrite;
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    int fd = FileDescriptor(file);
    struct stat st {};
    if (fd < 0 || fstat(fd, &st) != 0) {
        if (fd >= 0)
            FailWithErrno(errno);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (fileSizeHigh)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS); // INVALID_FILE_SIZE can be a real low part
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES)
{
    std::string native;
    if (!ToNative(pathName, native))
        return FALSE;
    if (mkdir(native.c_str(), 0777) != 0)
        return FailWithErrno(errno == ENOENT ? ENOTDIR : errno);
    return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName)
{
    std::string native;
    if (!ToNative(pathName, native))
        return FALSE;
    struct stat st {};
    if (lstat(native.c_str(), &st) != 0)
        return FailWithErrno(errno);
    if (!S_ISDIR(st.st_mode))
        return FailWith(ERROR_DIRECTORY);
    if (IsReadOnlyMode(st.st_mode))
        return FailWith(ERROR_ACCESS_DENIED);
    if (rmdir(native.c_str()) != 0)
        return FailWithErrno(errno == EEXIST ? ENOTEMPTY : errno);
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName)
{
    std::string native;
    if (!ToNative(fileName, native))
        return FALSE;
    struct stat st {};
    if (lstat(native.c_str(), &st) != 0)
        return FailWithErrno(errno);
    if (S_ISDIR(st.st_mode) || (!S_ISLNK(st.st_mode) && IsReadOnlyMode(st.st_mode)))
        return FailWith(ERROR_ACCESS_DENIED);
    if (unlink(native.c_str()) != 0)
        return FailWithErrno(errno);
    return TRUE;
}

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists)
{
    std::string source, target;
    if (!ToNative(existingFileName, source) || !ToNative(newFileName, target))
        return FALSE;
    int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return FailWithErrno(errno);
    struct stat st {};
    if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(in);
        return FailWith(ERROR_ACCESS_DENIED);
    }
    struct stat existing {};
    if (failIfExists && stat(target.c_str(), &existing) == 0) {
        close(in);
        return FailWith(ERROR_FILE_EXISTS);
    }
    AtomicFile out;
    if (!out.OpenNative(target)) {
        close(in);
        return FALSE;
    }
    char buffer[65536];
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int error = errno;
            close(in);
            return FailWithErrno(error);
        }
        if (n == 0)
            break;
        if (!out.Write(buffer, static_cast<size_t>(n))) {
            close(in);
            return FALSE;
        }
    }
    close(in);
    // The copy keeps the source's attributes and time, read-only included.
    out.SetMode(st.st_mode);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(out.Descriptor(), times);
    return out.Commit(failIfExists != FALSE) ? TRUE : FALSE;
}

DWORD GetFileAttributesA(LPCSTR fileName)
{
    std::string native;
    if (!ToNative(fileName, native))
        return INVALID_FILE_ATTRIBUTES;
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) {
        FailWithErrno(errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesFromStat(st);
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD fileAttributes)
{
    std::string native;
    if (!ToNative(fileName, native))
        return FALSE;
    struct stat st {};
    if (stat(native.c_str(), &st) != 0)
        return FailWithErrno(errno);
    mode_t mode = st.st_mode & 07777;
    if (fileAttributes & FILE_ATTRIBUTE_READONLY)
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    else if (IsReadOnlyMode(mode))
        mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && chmod(native.c_str(), mode) != 0)
        return FailWithErrno(errno);
    return TRUE;
}

namespace {

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (text.size() < size) {
        memcpy(buffer, text.data(), text.size() + 1);
        return static_cast<DWORD>(text.size());
    }
    memcpy(buffer, text.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

} // namespace

DWORD GetModuleFileNameA(HMODULE, LPSTR fileName, DWORD size)
{
    std::string path = GetProgramFolder().Str();
    path += '\\';
    path += GetProgramFileName().Str();
    return CopyOut(path, fileName, size);
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer)
{
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    std::string native = ec ? std::string("/tmp") : temp.string();
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    std::string path = ProgramPath(native).Str();
    if (path.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    if (path.back() != '\\')
        path += '\\';
    if (!buffer || bufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    memcpy(buffer, path.data(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}
