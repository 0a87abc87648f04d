// Standard file streams for program paths; streams that create a file write
// it atomically through a cookie stream over AtomicFile.
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/base/FileInternal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {
namespace {

ssize_t CookieRead(void* cookie, char* buffer, size_t size)
{
    auto* file = static_cast<AtomicFile*>(cookie);
    for (;;) {
        ssize_t n = read(file->Descriptor(), buffer, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

ssize_t CookieWrite(void* cookie, const char* buffer, size_t size)
{
    auto* file = static_cast<AtomicFile*>(cookie);
    if (!file->Write(buffer, size)) {
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(size);
}

int CookieSeek(void* cookie, off64_t* offset, int whence)
{
    auto* file = static_cast<AtomicFile*>(cookie);
    off_t result = lseek(file->Descriptor(), static_cast<off_t>(*offset), whence);
    if (result < 0)
        return -1;
    *offset = result;
    return 0;
}

int CookieClose(void* cookie)
{
    auto* file = static_cast<AtomicFile*>(cookie);
    bool ok = file->Commit();
    delete file;
    if (!ok) {
        errno = EIO;
        return -1;
    }
    return 0;
}

FILE* Fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

} // namespace

FILE* OpenFile(const char* gbkPath, const char* mode)
{
    std::string native;
    if (!mode || !*mode)
        return Fail(ERROR_INVALID_PARAMETER);
    if (!ToNative(gbkPath, native))
        return nullptr;
    const bool update = strchr(mode, '+') != nullptr;
    if (mode[0] == 'w') {
        auto* file = new AtomicFile;
        if (!file->OpenNative(native)) {
            delete file;
            return nullptr;
        }
        cookie_io_functions_t functions{};
        functions.read = update ? CookieRead : nullptr;
        functions.write = CookieWrite;
        functions.seek = CookieSeek;
        functions.close = CookieClose;
        FILE* stream = fopencookie(file, update ? "w+" : "w", functions);
        if (!stream) {
            delete file;
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        }
        return stream;
    }
    if (mode[0] != 'r' && mode[0] != 'a')
        return Fail(ERROR_INVALID_PARAMETER);
    const bool writing = update || mode[0] == 'a';
    struct stat st {};
    if (stat(native.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || (writing && IsReadOnlyMode(st.st_mode)))
            return Fail(ERROR_ACCESS_DENIED);
    }
    std::string flags(1, mode[0]);
    if (update)
        flags += '+';
    flags += "be"; // binary is the only mode here; close on exec
    FILE* stream = fopen(native.c_str(), flags.c_str());
    if (!stream)
        return Fail(ErrorFromErrno(errno));
    return stream;
}

bool ReadWholeFile(const char* gbkPath, std::string& out)
{
    out.clear();
    std::string native;
    if (!ToNative(gbkPath, native))
        return false;
    int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FailWithErrno(errno);
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return FailWith(ERROR_ACCESS_DENIED);
    }
    if (st.st_size > 0)
        out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            int error = errno;
            close(fd);
            out.clear();
            return FailWithErrno(error);
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return true;
}

} // namespace tavrin
