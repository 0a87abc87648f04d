#include "platform/win/Broadcast.h"

#include "platform/win/Atom.h"
#include "platform/win/UserFolder.h"
#include "platform/win/Window.h"
#include "platform/win/WindowQuery.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kMagic[4] = {'T', 'V', 'B', 'C'};
constexpr size_t kMaxName = 255;
constexpr size_t kMaxDatagram = 16 + 8 + 8 + 2 + kMaxName + 2 + kMaxName;

struct Broadcast {
    UINT message = 0; // used when there is no name
    uint64_t wParam = 0;
    uint64_t lParam = 0;
    std::string name;
    std::string atomName;
};

void PutInt(std::string& out, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool GetInt(const char*& p, const char* end, uint64_t& v, int bytes)
{
    if (end - p < bytes)
        return false;
    v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    p += bytes;
    return true;
}

bool GetText(const char*& p, const char* end, std::string& out)
{
    uint64_t n = 0;
    if (!GetInt(p, end, n, 2) || n > kMaxName || static_cast<uint64_t>(end - p) < n)
        return false;
    out.assign(p, n);
    p += n;
    return out.find('\0') == std::string::npos;
}

std::string Encode(const Broadcast& b)
{
    std::string out(kMagic, sizeof kMagic);
    PutInt(out, b.message, 4);
    PutInt(out, b.wParam, 8);
    PutInt(out, b.lParam, 8);
    PutInt(out, b.name.size(), 2);
    out += b.name;
    PutInt(out, b.atomName.size(), 2);
    out += b.atomName;
    return out;
}

bool Decode(const char* data, size_t size, Broadcast& b)
{
    const char* p = data;
    const char* end = data + size;
    uint64_t message = 0;
    if (size < sizeof kMagic || memcmp(p, kMagic, sizeof kMagic) != 0)
        return false;
    p += sizeof kMagic;
    if (!GetInt(p, end, message, 4) || !GetInt(p, end, b.wParam, 8) || !GetInt(p, end, b.lParam, 8) ||
        !GetText(p, end, b.name) || !GetText(p, end, b.atomName) || p != end)
        return false;
    b.message = static_cast<UINT>(message);
    // Registered messages by name; otherwise only the program's own range.
    return !b.name.empty() || (b.message >= WM_USER && b.message < 0xC000);
}

struct WindowList {
    std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM data)
{
    reinterpret_cast<WindowList*>(data)->windows.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    WindowList list;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

void Deliver(const Broadcast& b)
{
    UINT message = b.message;
    if (!b.name.empty())
        message = RegisterWindowMessageA(b.name.c_str());
    if (!message)
        return;
    WPARAM wParam = static_cast<WPARAM>(b.wParam);
    if (!b.atomName.empty())
        wParam = GlobalAddAtomA(b.atomName.c_str());
    for (HWND hwnd : TopLevelWindows())
        PostMessageA(hwnd, message, wParam, static_cast<LPARAM>(b.lParam));
}

std::string InstancesFolder()
{
    return tavrin::win::GetUserConfigFolder() + "/instances";
}

bool FillAddress(const std::string& path, sockaddr_un& address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// One socket of this copy, read by a thread of its own until stopped.
class Listener {
public:
    explicit Listener(std::string path) : m_path(std::move(path)) {}

    bool Start()
    {
        sockaddr_un address;
        if (!FillAddress(m_path, address)) {
            fprintf(stderr, "broadcast: the path %s is too long for a socket\n", m_path.c_str());
            return false;
        }
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0 || pipe2(m_stop, O_CLOEXEC) != 0)
            return false;
        const int on = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on);
        unlink(m_path.c_str());
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            fprintf(stderr, "broadcast: cannot listen at %s (%s)\n", m_path.c_str(), strerror(errno));
            return false;
        }
        chmod(m_path.c_str(), 0600);
        m_thread = std::thread([this] { Run(); });
        return true;
    }

    ~Listener()
    {
        if (m_thread.joinable()) {
            const char stop = 1;
            (void)!write(m_stop[1], &stop, 1);
            m_thread.join();
        }
        if (m_fd >= 0) {
            close(m_fd);
            unlink(m_path.c_str());
        }
        for (int fd : m_stop)
            if (fd >= 0)
                close(fd);
    }

    const std::string& Path() const { return m_path; }

private:
    void Run()
    {
        for (;;) {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[1].revents)
                return;
            if (fds[0].revents & POLLIN)
                ReceiveOne();
        }
    }

    void ReceiveOne()
    {
        char data[kMaxDatagram + 1];
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        iovec iov{data, sizeof data};
        msghdr msg{};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        const ssize_t n = recvmsg(m_fd, &msg, MSG_DONTWAIT);
        if (n <= 0 || (msg.msg_flags & (MSG_TRUNC | MSG_CTRUNC)))
            return;
        // Only this user's own copies are listened to.
        bool ours = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred cred;
                memcpy(&cred, CMSG_DATA(c), sizeof cred);
                ours = cred.uid == getuid();
            }
        }
        Broadcast b;
        if (ours && Decode(data, static_cast<size_t>(n), b))
            Deliver(b);
    }

    std::string m_path;
    int m_fd = -1;
    int m_stop[2] = {-1, -1};
    std::thread m_thread;
};

std::mutex g_listenerLock;
std::unique_ptr<Listener> g_listener;

struct ListenerCleanup {
    ~ListenerCleanup()
    {
        std::lock_guard<std::mutex> guard(g_listenerLock);
        g_listener.reset();
    }
} g_cleanup;

std::string OwnSocketName()
{
    return std::to_string(getpid()) + ".sock";
}

// Sends to every other copy's socket; stale sockets of ended copies go.
bool SendToOtherCopies(const std::string& datagram)
{
    const std::string folder = InstancesFolder();
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return errno == ENOENT; // no other copy listens
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        closedir(dir);
        return false;
    }
    const std::string own = OwnSocketName();
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == own || name.size() < 6 || name.compare(name.size() - 5, 5, ".sock") != 0)
            continue;
        const std::string path = folder + "/" + name;
        struct stat st{};
        if (lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode) || st.st_uid != getuid())
            continue;
        sockaddr_un address;
        if (!FillAddress(path, address))
            continue;
        if (sendto(fd, datagram.data(), datagram.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address),
                   sizeof address) < 0 &&
            errno == ECONNREFUSED) {
            const long pid = atol(name.c_str());
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                unlink(path.c_str());
        }
    }
    close(fd);
    closedir(dir);
    return true;
}

} // namespace

void tavrin::win::StartInstanceListener()
{
    const std::string path = InstancesFolder() + "/" + OwnSocketName();
    std::lock_guard<std::mutex> guard(g_listenerLock);
    if (g_listener && g_listener->Path() == path)
        return;
    g_listener.reset();
    if (!EnsureUserConfigFolder("instances"))
        return;
    auto listener = std::make_unique<Listener>(path);
    if (listener->Start())
        g_listener = std::move(listener);
}

long BroadcastSystemMessageA(DWORD flags, LPDWORD, UINT message, WPARAM wParam, LPARAM lParam)
{
    Broadcast b;
    b.message = message;
    b.wParam = wParam;
    b.lParam = static_cast<uint64_t>(lParam);
    if (message >= 0xC000 && !tavrin::win::GetRegisteredMessageName(message, b.name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (wParam >= 0xC000 && wParam <= 0xFFFF) {
        char atomName[kMaxName + 1];
        if (GlobalGetAtomNameA(static_cast<ATOM>(wParam), atomName, sizeof atomName))
            b.atomName = atomName;
    }
    if (!(flags & BSF_IGNORECURRENTTASK)) {
        for (HWND hwnd : TopLevelWindows()) {
            if (flags & BSF_POSTMESSAGE)
                PostMessageA(hwnd, message, wParam, lParam);
            else
                SendMessageA(hwnd, message, wParam, lParam);
        }
    }
    if (!b.name.empty() || (message >= WM_USER && message < 0xC000))
        if (!SendToOtherCopies(Encode(b)))
            return -1;
    return 1;
}
