#include "platform/base/Socket.h"

#include "platform/base/SocketCore.h"

#include <cstring>
#include <string>
#include <vector>

using namespace tavrin::detail;

namespace {

int Fail(int error)
{
    WSASetLastError(error);
    return SOCKET_ERROR;
}

// Storage of gethostbyname's result, one per thread.
struct HostEntry {
    std::string name;
    std::vector<ULONG> addresses;
    std::vector<char*> addressList;
    char* aliases[1] = {nullptr};
    hostent host{};
};

thread_local HostEntry t_host;

} // namespace

int WSAStartup(WORD versionRequested, LPWSADATA data)
{
    if (!data)
        return WSAEFAULT;
    std::memset(data, 0, sizeof *data);
    data->wVersion = versionRequested ? versionRequested : MAKEWORD(1, 1);
    data->wHighVersion = MAKEWORD(2, 2);
    std::strcpy(data->szDescription, "Tavrin sockets");
    std::strcpy(data->szSystemStatus, "Running");
    data->iMaxSockets = 0x7fff;
    data->iMaxUdpDg = 65467;
    return 0;
}

int WSACleanup()
{
    return 0;
}

int WSAGetLastError()
{
    return static_cast<int>(GetLastError());
}

void WSASetLastError(int error)
{
    SetLastError(static_cast<DWORD>(error));
}

SOCKET socket(int af, int type, int protocol)
{
    int error = 0;
    uintptr_t s = SocketCreate(af, type, protocol, &error);
    if (s == ~uintptr_t{0})
        WSASetLastError(error);
    return static_cast<SOCKET>(s);
}

int closesocket(SOCKET s)
{
    int error = 0;
    return SocketClose(s, &error) ? 0 : Fail(error);
}

int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen)
{
    if (!optval || optlen <= 0)
        return Fail(WSAEFAULT);
    auto dword = [&](uint32_t* value) {
        if (optlen < static_cast<int>(sizeof(DWORD)))
            return false;
        DWORD v;
        std::memcpy(&v, optval, sizeof v);
        *value = v;
        return true;
    };
    uint32_t value = 0;
    uint32_t extra = 0;
    SocketOption option;
    if (level == SOL_SOCKET && optname == SO_RCVTIMEO) {
        option = SocketOption::ReceiveTimeout;
    } else if (level == SOL_SOCKET && optname == SO_SNDTIMEO) {
        option = SocketOption::SendTimeout;
    } else if (level == SOL_SOCKET && optname == SO_KEEPALIVE) {
        option = SocketOption::KeepAlive;
    } else if (level == SOL_SOCKET && optname == SO_REUSEADDR) {
        option = SocketOption::ReuseAddress;
    } else if (level == IPPROTO_TCP && optname == TCP_NODELAY) {
        option = SocketOption::NoDelay;
    } else if (level == SOL_SOCKET && optname == SO_LINGER) {
        if (optlen < static_cast<int>(sizeof(linger)))
            return Fail(WSAEFAULT);
        linger l;
        std::memcpy(&l, optval, sizeof l);
        int error = 0;
        return SocketSetOption(s, SocketOption::Linger, l.l_onoff, l.l_linger, &error) ? 0 : Fail(error);
    } else {
        return Fail(WSAENOPROTOOPT);
    }
    if (!dword(&value))
        return Fail(WSAEFAULT);
    int error = 0;
    return SocketSetOption(s, option, value, extra, &error) ? 0 : Fail(error);
}

int shutdown(SOCKET s, int how)
{
    int error = 0;
    return SocketShutdown(s, how, &error) ? 0 : Fail(error);
}

int connect(SOCKET s, const sockaddr* name, int namelen)
{
    if (!name || namelen < static_cast<int>(sizeof(sockaddr_in)))
        return Fail(WSAEFAULT);
    sockaddr_in to;
    std::memcpy(&to, name, sizeof to);
    if (to.sin_family != AF_INET)
        return Fail(WSAEAFNOSUPPORT);
    int error = 0;
    return SocketConnect(s, to.sin_addr.S_un.S_addr, to.sin_port, &error) ? 0 : Fail(error);
}

int send(SOCKET s, const char* buf, int len, int)
{
    int error = 0;
    int n = SocketSend(s, buf, len, &error);
    return n < 0 ? Fail(error) : n;
}

int recv(SOCKET s, char* buf, int len, int flags)
{
    if (flags & MSG_OOB)
        return Fail(WSAEOPNOTSUPP);
    int error = 0;
    int n = SocketReceive(s, buf, len, (flags & MSG_PEEK) != 0, &error);
    return n < 0 ? Fail(error) : n;
}

hostent* gethostbyname(const char* name)
{
    if (!name) {
        WSASetLastError(WSAEFAULT);
        return nullptr;
    }
    HostEntry& h = t_host;
    std::vector<uint32_t> addresses;
    std::string canonical;
    int error = 0;
    if (!*name || !ResolveIPv4(name, &addresses, &canonical, &error)) {
        WSASetLastError(*name ? error : WSAHOST_NOT_FOUND);
        return nullptr;
    }
    h.name = canonical;
    h.addresses.assign(addresses.begin(), addresses.end());
    h.addressList.clear();
    for (ULONG& a : h.addresses)
        h.addressList.push_back(reinterpret_cast<char*>(&a));
    h.addressList.push_back(nullptr);
    h.host.h_name = h.name.data();
    h.host.h_aliases = h.aliases;
    h.host.h_addrtype = AF_INET;
    h.host.h_length = 4;
    h.host.h_addr_list = h.addressList.data();
    return &h.host;
}

ULONG inet_addr(const char* cp)
{
    uint32_t address = 0;
    return ParseIPv4(cp, &address) ? address : INADDR_NONE;
}

BOOL tavrin::AbortSocket(SOCKET s)
{
    return SocketAbort(s) ? TRUE : FALSE;
}

int tavrin::SocketWaiters(SOCKET s)
{
    return detail::SocketWaiters(s);
}

int tavrin::PollSocket(SOCKET s, bool forWrite, DWORD milliseconds)
{
    int error = 0;
    int n = SocketPoll(s, forWrite, milliseconds, &error);
    return n < 0 ? Fail(error) : n;
}
