#include "platform/win/NamedMutex.h"

#include "platform/base/Thread.h"
#include "platform/win/Broadcast.h"
#include "platform/win/UserFolder.h"

#include "platform/base/FileApi.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct MutexState {
    std::string name;
    int lockFd = -1;
    DWORD owner = 0;
    unsigned count = 0;
    ~MutexState();
};

std::mutex g_lock;
std::map<std::string, std::weak_ptr<MutexState>>* const g_named = new std::map<std::string, std::weak_ptr<MutexState>>;

MutexState::~MutexState()
{
    if (lockFd >= 0)
        close(lockFd); // releases the lock for the other copies
    if (!name.empty()) {
        std::lock_guard<std::mutex> guard(g_lock);
        auto it = g_named->find(name);
        if (it != g_named->end() && it->second.expired())
            g_named->erase(it);
    }
}

class MutexHandle : public tavrin::KernelObject {
public:
    explicit MutexHandle(std::shared_ptr<MutexState> state) : m_state(std::move(state)) {}
    std::shared_ptr<MutexState> m_state;
};

// A file name for the lock, from any name: unusual bytes escaped.
std::string LockFileName(const std::string& name)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "mutex-";
    for (unsigned char c : name) {
        if (isalnum(c) || c == '{' || c == '}' || c == '-' || c == '_' || c == '.')
            out += static_cast<char>(c);
        else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + ".lock";
}

// True when this copy is the first; lockFd gets the held lock.
bool TakeInstanceLock(const std::string& name, int& lockFd, DWORD& error)
{
    if (!tavrin::win::EnsureUserConfigFolder("instances")) {
        error = GetLastError();
        return false;
    }
    const std::string path = tavrin::win::GetUserConfigFolder() + "/instances/" + LockFileName(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND;
        return false;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        close(fd);
        error = errno == EWOULDBLOCK ? ERROR_ALREADY_EXISTS : ERROR_ACCESS_DENIED;
        return false;
    }
    lockFd = fd;
    return true;
}

} // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name)
{
    std::shared_ptr<MutexState> state;
    DWORD error = ERROR_SUCCESS;
    if (name && *name) {
        if (strlen(name) > MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return nullptr;
        }
        std::lock_guard<std::mutex> guard(g_lock);
        auto& slot = (*g_named)[name];
        state = slot.lock();
        if (state) {
            error = ERROR_ALREADY_EXISTS;
        } else {
            state = std::make_shared<MutexState>();
            state->name = name;
            if (!TakeInstanceLock(name, state->lockFd, error) && error != ERROR_ALREADY_EXISTS) {
                // Without the folder other copies cannot be told apart.
                state->name.clear();
                g_named->erase(name);
                SetLastError(error);
                return nullptr;
            }
            slot = state;
        }
    } else {
        state = std::make_shared<MutexState>();
    }
    if (initialOwner && error != ERROR_ALREADY_EXISTS) {
        state->owner = GetCurrentThreadId();
        state->count = 1;
    }
    HANDLE handle = tavrin::RegisterHandle(std::make_shared<MutexHandle>(state));
    if (name && *name)
        tavrin::win::StartInstanceListener();
    SetLastError(error);
    return handle;
}

BOOL ReleaseMutex(HANDLE mutex)
{
    auto handle = tavrin::LookupHandleAs<MutexHandle>(mutex);
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    MutexState& s = *handle->m_state;
    if (s.owner != GetCurrentThreadId() || s.count == 0) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--s.count == 0)
        s.owner = 0;
    return TRUE;
}
