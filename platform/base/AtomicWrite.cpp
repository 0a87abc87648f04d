#include "platform/base/AtomicWrite.h"

#include "platform/base/FileInternal.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace tavrin {
namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The target's name hidden, beside it, cut so that a suffix stays within
// NAME_MAX.
std::string HiddenName(const std::string& target)
{
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.size() > 200)
        base.resize(200);
    return folder + "." + base;
}

// A name beside the target that no other writer picks: hidden, with the
// process id and a per-process counter.
std::string TemporaryName(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char suffix[64];
    snprintf(suffix, sizeof suffix, ".tmp%ld-%u-%lx", static_cast<long>(getpid()), counter.fetch_add(1),
             static_cast<unsigned long>(now.tv_nsec));
    return HiddenName(target) + suffix;
}

// The one hidden name beside the target under which a finished file waits
// for its rename. Fixed, so a copy that a kill leaves between the two steps
// is replaced by the next save instead of piling up.
std::string PendingName(const std::string& target)
{
    return HiddenName(target) + ".tmp";
}

// Held from naming a finished file to its rename, so two threads saving one
// target never take each other's pending name.
std::mutex& PendingLock()
{
    static std::mutex lock;
    return lock;
}

void SyncFolder(const std::string& path)
{
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd); // best effort: the data itself is already on disk
        close(fd);
    }
}

} // namespace

AtomicFile::~AtomicFile()
{
    Abort();
}

bool AtomicFile::Open(const char* gbkPath)
{
    std::string native;
    if (!ToNative(gbkPath, native))
        return false;
    return OpenNative(native);
}

bool AtomicFile::OpenNative(const std::string& nativePath)
{
    Abort();
    m_failed = false;
    m_hasMode = false;
    if (nativePath.empty() || nativePath.back() == '/')
        return FailWith(ERROR_INVALID_NAME);
    struct stat st {};
    if (stat(nativePath.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode) || IsReadOnlyMode(st.st_mode))
            return FailWith(ERROR_ACCESS_DENIED);
        m_hasMode = true;
        m_mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return FailWithErrno(errno);
    }
    m_unnamed = false;
    int unnamed = open(FolderOf(nativePath).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (unnamed >= 0) {
        m_fd = unnamed;
        m_unnamed = true;
        m_target = nativePath;
        return true;
    }
    if (errno == ENOENT)
        return FailWith(ERROR_PATH_NOT_FOUND);
    // File systems without unnamed files: a hidden name beside the target.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = TemporaryName(nativePath);
        int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temp = std::move(temp);
            m_target = nativePath;
            return true;
        }
        if (errno == ENOENT)
            return FailWith(ERROR_PATH_NOT_FOUND); // the folder is missing
        if (errno != EEXIST)
            return FailWithErrno(errno);
    }
    return FailWith(ERROR_ALREADY_EXISTS);
}

bool AtomicFile::Write(const void* data, size_t size)
{
    if (m_fd < 0)
        return FailWith(ERROR_INVALID_HANDLE);
    if (m_failed)
        return FailWith(m_error);
    if (!WriteAll(m_fd, data, size)) {
        m_failed = true;
        m_error = ErrorFromErrno(errno);
        return FailWith(m_error);
    }
    return true;
}

void AtomicFile::SetMode(mode_t mode)
{
    m_hasMode = true;
    m_mode = mode & 07777;
}

bool AtomicFile::Commit(bool noReplace)
{
    if (m_fd < 0)
        return FailWith(ERROR_INVALID_HANDLE);
    DWORD error = m_failed ? m_error : 0;
    if (!error && m_hasMode && fchmod(m_fd, m_mode) != 0)
        error = ErrorFromErrno(errno);
    if (!error && fsync(m_fd) != 0)
        error = ErrorFromErrno(errno);
    std::unique_lock<std::mutex> pending;
    if (!error && m_unnamed) {
        pending = std::unique_lock<std::mutex>(PendingLock());
        error = NameUnnamed(noReplace);
    }
    if (close(m_fd) != 0 && !error)
        error = ErrorFromErrno(errno);
    m_fd = -1;
    if (!error && !m_temp.empty()) {
        if (noReplace) {
            // link() refuses an existing name atomically.
            if (link(m_temp.c_str(), m_target.c_str()) != 0)
                error = errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno);
        } else if (rename(m_temp.c_str(), m_target.c_str()) != 0) {
            error = ErrorFromErrno(errno);
        } else {
            m_temp.clear();
        }
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
    if (pending.owns_lock())
        pending.unlock();
    if (error)
        return FailWith(error);
    SyncFolder(m_target);
    return true;
}

// Gives the unnamed file a name: the target itself when it must not replace
// one (linking refuses an existing name), else the pending name to rename.
DWORD AtomicFile::NameUnnamed(bool noReplace)
{
    char self[64];
    snprintf(self, sizeof self, "/proc/self/fd/%d", m_fd);
    if (noReplace) {
        if (linkat(AT_FDCWD, self, AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW) != 0)
            return errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno);
        return 0;
    }
    // A pending copy still there was left by a writer killed before its
    // rename: it is replaced.
    std::string temp = PendingName(m_target);
    if (unlink(temp.c_str()) != 0 && errno != ENOENT)
        return ErrorFromErrno(errno);
    if (linkat(AT_FDCWD, self, AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return ErrorFromErrno(errno);
    m_temp = std::move(temp);
    return 0;
}

void AtomicFile::Abort()
{
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

bool WriteFileAtomic(const char* gbkPath, const void* data, size_t size)
{
    AtomicFile file;
    if (!file.Open(gbkPath))
        return false;
    if (!file.Write(data, size)) {
        DWORD error = GetLastError();
        file.Abort();
        return FailWith(error);
    }
    return file.Commit();
}

bool WriteFileAtomic(const char* gbkPath, const std::function<bool(AtomicFile&)>& writer)
{
    AtomicFile file;
    if (!file.Open(gbkPath))
        return false;
    SetLastError(ERROR_SUCCESS);
    if (!writer || !writer(file)) {
        DWORD error = GetLastError();
        file.Abort();
        return FailWith(error ? error : ERROR_WRITE_FAULT);
    }
    return file.Commit();
}

} // namespace tavrin
