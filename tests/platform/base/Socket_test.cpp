#include "platform/base/Socket.h"
#include "platform/base/Sync.h"
#include "platform/base/Thread.h"

#include "LoopbackPeer.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

using tavrin::test::LoopbackPeer;

namespace {

sockaddr_in LoopbackAddress(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<USHORT>(port));
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    return a;
}

SOCKET ClientSocket(DWORD timeoutMs)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET);
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs), 0);
    EXPECT_EQ(setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs), 0);
    return s;
}

int Connect(SOCKET s, int port)
{
    sockaddr_in a = LoopbackAddress(port);
    return connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

// Runs a blocking call on a worker, signals when it is about to block, and
// returns the call's result and error once it has ended.
struct BlockedCall {
    std::atomic<bool> started{false};
    int result = 0;
    int error = 0;
    std::thread worker;

    explicit BlockedCall(std::function<int()> call)
        : worker([this, call] {
              started = true;
              result = call();
              error = WSAGetLastError();
          })
    {
        while (!started)
            std::this_thread::yield();
    }
    void Join() { worker.join(); }
};

} // namespace

TEST(Socket, StartupIsNoOpAndReportsVersion)
{
    WSADATA data;
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(1, 1));
    EXPECT_EQ(WSACleanup(), 0);
}

TEST(Socket, InetAddrParsesDottedAddresses)
{
    struct Case {
        const char* text;
        ULONG expected;
    } cases[] = {
        {"127.0.0.1", htonl(0x7f000001u)},
        {"10.1.2.3", htonl(0x0a010203u)},
        {"255.255.255.254", htonl(0xfffffffeu)},
        {"not an address", INADDR_NONE},
        {"1.2.3.400", INADDR_NONE},
        {"", INADDR_NONE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(inet_addr(c.text), c.expected) << c.text;
}

TEST(Socket, GetHostByNameResolvesLoopbackPerThread)
{
    hostent* host = gethostbyname("127.0.0.1");
    ASSERT_NE(host, nullptr);
    ASSERT_NE(host->h_addr_list[0], nullptr);
    ULONG address;
    std::memcpy(&address, host->h_addr, 4);
    EXPECT_EQ(address, inet_addr("127.0.0.1"));
    EXPECT_EQ(host->h_addrtype, AF_INET);
    EXPECT_EQ(host->h_length, 4);

    // Another thread's look-up keeps its own result.
    std::thread([] {
        hostent* other = gethostbyname("localhost");
        ASSERT_NE(other, nullptr);
        ULONG a;
        std::memcpy(&a, other->h_addr, 4);
        EXPECT_EQ(a, inet_addr("127.0.0.1"));
    }).join();
    std::memcpy(&address, host->h_addr, 4);
    EXPECT_EQ(address, inet_addr("127.0.0.1"));

    EXPECT_EQ(gethostbyname(""), nullptr);
    EXPECT_EQ(WSAGetLastError(), WSAHOST_NOT_FOUND);
}

TEST(Socket, SendAndReceiveOverLoopback)
{
    LoopbackPeer peer;
    SOCKET s = ClientSocket(30000);
    ASSERT_EQ(Connect(s, peer.Port()), 0);
    int fd = peer.Accept();
    ASSERT_GE(fd, 0);

    std::string big(1 << 20, 'x');
    std::thread reader([&] {
        size_t got = 0;
        while (got < big.size() + 5) {
            std::string chunk = LoopbackPeer::ReadSome(fd);
            if (chunk.empty())
                break;
            got += chunk.size();
        }
        EXPECT_EQ(got, big.size() + 5);
        LoopbackPeer::Write(fd, "world");
        LoopbackPeer::ShutdownWrite(fd);
    });
    // One send call delivers the whole megabyte.
    EXPECT_EQ(send(s, big.data(), static_cast<int>(big.size()), 0), static_cast<int>(big.size()));
    EXPECT_EQ(send(s, "hello", 5, 0), 5);
    reader.join();

    char buffer[16];
    std::string received;
    int n;
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0)
        received.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(n, 0);
    EXPECT_EQ(received, "world");
    EXPECT_EQ(closesocket(s), 0);
}

TEST(Socket, ErrorsCarryWsaCodes)
{
    SOCKET s = ClientSocket(30000);
    EXPECT_EQ(Connect(s, tavrin::test::UnusedLoopbackPort()), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
    EXPECT_EQ(closesocket(s), 0);

    // A closed socket number stays dead.
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(recv(s, nullptr, 0, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);

    EXPECT_EQ(socket(AF_INET + 21, SOCK_STREAM, 0), INVALID_SOCKET);
}

TEST(Socket, ReceiveTimesOutInMilliseconds)
{
    LoopbackPeer peer;
    SOCKET s = ClientSocket(20);
    ASSERT_EQ(Connect(s, peer.Port()), 0);
    char c;
    EXPECT_EQ(recv(s, &c, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
    closesocket(s);
}

TEST(Socket, SendToResetPeerFailsWithoutSignal)
{
    LoopbackPeer peer;
    SOCKET s = ClientSocket(30000);
    ASSERT_EQ(Connect(s, peer.Port()), 0);
    peer.Reset(peer.Accept());
    std::string data(64 * 1024, 'y');
    int result = 0;
    for (int i = 0; i < 100 && result != SOCKET_ERROR; ++i)
        result = send(s, data.data(), static_cast<int>(data.size()), 0);
    EXPECT_EQ(result, SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAECONNRESET);
    closesocket(s);
}

TEST(Socket, ConnectToFullBacklogTimesOut)
{
    LoopbackPeer peer(0);
    peer.FillBacklog();
    SOCKET s = ClientSocket(30);
    EXPECT_EQ(Connect(s, peer.Port()), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
    closesocket(s);
}

// A blocked call ends promptly, whichever way another thread stops it.
class SocketAbort : public ::testing::TestWithParam<bool> {
protected:
    // Closing before the call has begun would test an unknown socket instead.
    static void WaitUntilBlocked(SOCKET s)
    {
        while (tavrin::SocketWaiters(s) == 0)
            std::this_thread::yield();
    }
    void Stop(SOCKET s)
    {
        if (GetParam())
            EXPECT_EQ(closesocket(s), 0);
        else
            EXPECT_TRUE(tavrin::AbortSocket(s));
    }
    void Finish(SOCKET s)
    {
        if (!GetParam()) {
            // Aborted but open: every call fails at once until it is closed.
            char c;
            EXPECT_EQ(recv(s, &c, 1, 0), SOCKET_ERROR);
            EXPECT_EQ(WSAGetLastError(), WSAEINTR);
            EXPECT_EQ(closesocket(s), 0);
        }
    }
};

TEST_P(SocketAbort, WakesBlockedConnect)
{
    LoopbackPeer peer(0);
    peer.FillBacklog();
    SOCKET s = ClientSocket(600000);
    BlockedCall call([&] { return Connect(s, peer.Port()); });
    WaitUntilBlocked(s);
    Stop(s);
    call.Join();
    EXPECT_EQ(call.result, SOCKET_ERROR);
    EXPECT_EQ(call.error, WSAEINTR);
    Finish(s);
}

TEST_P(SocketAbort, WakesBlockedReceive)
{
    LoopbackPeer peer;
    SOCKET s = ClientSocket(0); // no time-out: only the abort ends the wait
    ASSERT_EQ(Connect(s, peer.Port()), 0);
    BlockedCall call([&] {
        char c;
        return recv(s, &c, 1, 0);
    });
    WaitUntilBlocked(s);
    Stop(s);
    call.Join();
    EXPECT_EQ(call.result, SOCKET_ERROR);
    EXPECT_EQ(call.error, WSAEINTR);
    Finish(s);
}

INSTANTIATE_TEST_SUITE_P(CloseOrAbort, SocketAbort, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ByClose" : "ByAbort"; });

TEST(Socket, PollSocketSeesData)
{
    LoopbackPeer peer;
    SOCKET s = ClientSocket(30000);
    ASSERT_EQ(Connect(s, peer.Port()), 0);
    int fd = peer.Accept();
    EXPECT_EQ(tavrin::PollSocket(s, false, 0), 0);
    EXPECT_EQ(tavrin::PollSocket(s, true, 0), 1);
    LoopbackPeer::Write(fd, "z");
    EXPECT_EQ(tavrin::PollSocket(s, false, INFINITE), 1);
    closesocket(s);
}
