// Windows Sockets 1.1 calls of the HTTP client over POSIX sockets: blocking
// TCP sockets whose send and receive time-outs are milliseconds (a DWORD
// option value, as Winsock takes it), name look-up through getaddrinfo, and
// errors as WSA codes through WSAGetLastError.
//
// A SOCKET is a number of our own table, not a file descriptor, and numbers
// are never reused. So closesocket from another thread is safe: it wakes a
// connect, send or receive blocked on that socket at once (they fail with
// WSAEINTR), and a stale close can never reach a newer connection. The
// descriptor itself is released when the last blocked call has returned.
// tavrin::AbortSocket wakes blocked calls the same way but leaves the socket
// to its owner to close.
//
// These declarations share their names with the POSIX socket calls: a file
// includes either this header or <sys/socket.h> and friends, never both.
// select and fd_set keep their POSIX meaning (the C library defines them in
// every file); tavrin::PollSocket serves instead.
#pragma once

#include "platform/base/Types.h"

typedef UINT_PTR SOCKET;
#define INVALID_SOCKET (static_cast<SOCKET>(~0))
#define SOCKET_ERROR (-1)

#define AF_UNSPEC 0
#define AF_INET 2
#define PF_INET AF_INET
#define SOCK_STREAM 1
#define SOCK_DGRAM 2
#define IPPROTO_IP 0
#define IPPROTO_TCP 6

#define SOL_SOCKET 0xffff
#define SO_REUSEADDR 0x0004
#define SO_KEEPALIVE 0x0008
#define SO_LINGER 0x0080
#define SO_SNDTIMEO 0x1005
#define SO_RCVTIMEO 0x1006
#define TCP_NODELAY 0x0001

#define MSG_OOB 0x1
#define MSG_PEEK 0x2

#define SD_RECEIVE 0
#define SD_SEND 1
#define SD_BOTH 2

#define INADDR_ANY 0x00000000u
#define INADDR_LOOPBACK 0x7f000001u
#define INADDR_NONE 0xffffffffu

struct in_addr {
    union {
        struct {
            UCHAR s_b1, s_b2, s_b3, s_b4;
        } S_un_b;
        struct {
            USHORT s_w1, s_w2;
        } S_un_w;
        ULONG S_addr;
    } S_un;
};
#define s_addr S_un.S_addr

struct sockaddr {
    USHORT sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    SHORT sin_family;
    USHORT sin_port;
    struct in_addr sin_addr;
    char sin_zero[8];
};
typedef sockaddr SOCKADDR;
typedef sockaddr_in SOCKADDR_IN;

struct linger {
    USHORT l_onoff;
    USHORT l_linger;
};

struct hostent {
    char* h_name;
    char** h_aliases;
    SHORT h_addrtype;
    SHORT h_length;
    char** h_addr_list;
};
#define h_addr h_addr_list[0]
typedef hostent HOSTENT;
typedef hostent* LPHOSTENT;

#define WSADESCRIPTION_LEN 256
#define WSASYS_STATUS_LEN 128
struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    USHORT iMaxSockets;
    USHORT iMaxUdpDg;
    char* lpVendorInfo;
};
typedef WSADATA* LPWSADATA;

// WSA error codes.
#define WSAEINTR 10004
#define WSAEBADF 10009
#define WSAEACCES 10013
#define WSAEFAULT 10014
#define WSAEINVAL 10022
#define WSAEMFILE 10024
#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAEALREADY 10037
#define WSAENOTSOCK 10038
#define WSAEDESTADDRREQ 10039
#define WSAEMSGSIZE 10040
#define WSAEPROTOTYPE 10041
#define WSAENOPROTOOPT 10042
#define WSAEPROTONOSUPPORT 10043
#define WSAESOCKTNOSUPPORT 10044
#define WSAEOPNOTSUPP 10045
#define WSAEPFNOSUPPORT 10046
#define WSAEAFNOSUPPORT 10047
#define WSAEADDRINUSE 10048
#define WSAEADDRNOTAVAIL 10049
#define WSAENETDOWN 10050
#define WSAENETUNREACH 10051
#define WSAENETRESET 10052
#define WSAECONNABORTED 10053
#define WSAECONNRESET 10054
#define WSAENOBUFS 10055
#define WSAEISCONN 10056
#define WSAENOTCONN 10057
#define WSAESHUTDOWN 10058
#define WSAETIMEDOUT 10060
#define WSAECONNREFUSED 10061
#define WSAEHOSTUNREACH 10065
#define WSANOTINITIALISED 10093
#define WSAHOST_NOT_FOUND 11001
#define WSATRY_AGAIN 11002
#define WSANO_RECOVERY 11003
#define WSANO_DATA 11004

// Start-up has nothing to do here; it reports version 1.1 (or what was asked).
int WSAStartup(WORD versionRequested, LPWSADATA data);
int WSACleanup();
// The thread's last error; the same value GetLastError reads.
int WSAGetLastError();
void WSASetLastError(int error);

SOCKET socket(int af, int type, int protocol);
int closesocket(SOCKET s);
int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int shutdown(SOCKET s, int how);
// Blocking connect; gives up after the send time-out when one is set, else
// after 21 s, as the system's own connect would.
int connect(SOCKET s, const sockaddr* name, int namelen);
// Sends everything or fails; never raises SIGPIPE.
int send(SOCKET s, const char* buf, int len, int flags);
int recv(SOCKET s, char* buf, int len, int flags);

// Thread-safe: the result lives in storage of the calling thread until its
// next call.
hostent* gethostbyname(const char* name);
ULONG inet_addr(const char* cp);

inline USHORT htons(USHORT v) { return static_cast<USHORT>((v << 8) | (v >> 8)); }
inline USHORT ntohs(USHORT v) { return htons(v); }
inline ULONG htonl(ULONG v) { return __builtin_bswap32(v); }
inline ULONG ntohl(ULONG v) { return __builtin_bswap32(v); }

namespace tavrin {
// From any thread: wakes a connect, send or receive blocked on the socket and
// makes every later call on it fail with WSAEINTR. The socket stays valid
// until closesocket. Returns FALSE for an unknown socket.
BOOL AbortSocket(SOCKET s);
// Waits until the socket is readable (or writable); 1, 0 on time-out, or
// SOCKET_ERROR. An abort ends the wait with WSAEINTR.
int PollSocket(SOCKET s, bool forWrite, DWORD milliseconds);
// The number of calls blocked on the socket at this moment.
int SocketWaiters(SOCKET s);
} // namespace tavrin
