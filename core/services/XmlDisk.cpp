#include "core/services/XmlDisk.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {
// GBK path with backslashes to a local UTF-8 path.
bool LocalPath(const char* gbkPath, std::string& out)
{
    out.clear();
    if (!gbkPath || !*gbkPath)
        return false;
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    size_t inLeft = std::strlen(gbkPath);
    std::string buffer(inLeft * 3 + 4, '\0');
    char* in = const_cast<char*>(gbkPath);
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        return false;
    buffer.resize(buffer.size() - outLeft);
    for (char& c : buffer)
        if (c == '\\')
            c = '/';
    out = std::move(buffer);
    return true;
}

bool ReadAll(int fd, std::unique_ptr<char[]>& data, size_t& size)
{
    struct stat st {};
    size_t capacity = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        capacity = static_cast<size_t>(st.st_size);
    if (capacity >= 0xFFFFFFF0u)
        return false;  // lengths in the tree are 32-bit
    size_t used = 0;
    capacity = capacity ? capacity : 64 * 1024;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity + 1);
    for (;;) {
        if (used == capacity) {
            // The file grew, or its size was unknown: read on in a larger buffer.
            char probe;
            ssize_t n = read(fd, &probe, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            if (capacity * 2 >= 0xFFFFFFF0u)
                return false;
            auto grown = std::make_unique_for_overwrite<char[]>(capacity * 2 + 1);
            std::memcpy(grown.get(), buffer.get(), used);
            buffer = std::move(grown);
            capacity *= 2;
            buffer[used++] = probe;
            continue;
        }
        ssize_t n = read(fd, buffer.get() + used, capacity - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        used += static_cast<size_t>(n);
    }
    if (used == 0)
        return false;
    buffer[used] = '\0';
    data = std::move(buffer);
    size = used;
    return true;
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return true;
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}
} // namespace

bool ReadXmlFileBytes(const char* gbkPath, std::unique_ptr<char[]>& data, size_t& size)
{
    std::string path;
    if (!LocalPath(gbkPath, path))
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ReadAll(fd, data, size);
    close(fd);
    return ok;
}

bool CreateXmlFileFolder(const char* gbkPath)
{
    std::string path;
    if (!LocalPath(gbkPath, path))
        return false;
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return true;
    return MakeFolders(path.substr(0, slash));
}

XmlAtomicFileOutput::XmlAtomicFileOutput(const char* gbkPath)
{
    if (!LocalPath(gbkPath, m_path))
        return;
    static thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08llx.tmp", static_cast<unsigned long long>(random() & 0xFFFFFFFFu));
        m_temp = m_path + suffix;
        m_fd = open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
}

XmlAtomicFileOutput::~XmlAtomicFileOutput()
{
    if (m_fd >= 0) {
        close(m_fd);
        unlink(m_temp.c_str());
    }
}

bool XmlAtomicFileOutput::Sink(const char* data, size_t size)
{
    while (size && m_fd >= 0) {
        ssize_t n = write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return m_fd >= 0;
}

bool XmlAtomicFileOutput::Commit()
{
    if (m_fd < 0)
        return false;
    bool ok = Flush() && fsync(m_fd) == 0;
    ok = close(m_fd) == 0 && ok;
    m_fd = -1;
    if (ok && rename(m_temp.c_str(), m_path.c_str()) == 0)
        return true;
    unlink(m_temp.c_str());
    return false;
}

} // namespace tavrin
