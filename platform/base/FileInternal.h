// Shared pieces of the file layer's sources; not for use outside platform/base.
#pragma once

#include "platform/base/FileApi.h"
#include "platform/base/KernelObject.h"

#include <memory>
#include <string>
#include <sys/stat.h>

namespace tavrin {

class AtomicFile;

// errno -> Win32 error code.
DWORD ErrorFromErrno(int error);
// Sets the thread's last error from errno (or the given value); returns false.
bool FailWithErrno(int error);
bool FailWith(DWORD error);

// Converts a program path; false with ERROR_INVALID_NAME (null: ERROR_PATH_NOT_FOUND).
bool ToNative(const char* gbkPath, std::string& native);

// The read-only attribute: no write bit at all.
inline bool IsReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

FILETIME FileTimeFromTimespec(const struct timespec& t);
DWORD AttributesFromStat(const struct stat& st);

// Writes every byte, retrying short writes; false with errno set.
bool WriteAll(int fd, const void* data, size_t size);

// An open file behind a HANDLE: a plain descriptor, or a created file whose
// bytes go to a temporary file until CloseHandle commits it.
class FileObject : public KernelObject {
public:
    FileObject(int fd, std::string nativePath);
    explicit FileObject(std::unique_ptr<AtomicFile> atomic);
    ~FileObject() override;
    bool Close() override;

    int Descriptor() const { return m_fd; }
    bool Write(const void* data, size_t size);
    const std::string& NativePath() const { return m_path; }

private:
    int m_fd = -1;
    std::string m_path;
    std::unique_ptr<AtomicFile> m_atomic;
};

// The descriptor behind a file handle, or -1 (ERROR_INVALID_HANDLE).
int FileDescriptor(HANDLE file);

} // namespace tavrin
