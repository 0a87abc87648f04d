// Internal to the socket layer: the POSIX side, reached through plain types so
// that it never meets the Winsock-shaped declarations of Socket.h. Every call
// that fails stores a WSA error code in *error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::detail {

enum class SocketOption { ReceiveTimeout, SendTimeout, Linger, KeepAlive, ReuseAddress, NoDelay };

uintptr_t SocketCreate(int af, int type, int protocol, int* error);
bool SocketClose(uintptr_t s, int* error);
bool SocketAbort(uintptr_t s);
// How many calls are blocked on the socket right now (tests wait for one).
int SocketWaiters(uintptr_t s);
bool SocketSetOption(uintptr_t s, SocketOption option, uint32_t value, uint32_t extra, int* error);
bool SocketShutdown(uintptr_t s, int how, int* error);
// Address and port in network byte order.
bool SocketConnect(uintptr_t s, uint32_t address, uint16_t port, int* error);
int SocketSend(uintptr_t s, const char* data, int length, int* error);
int SocketReceive(uintptr_t s, char* data, int length, bool peek, int* error);
int SocketPoll(uintptr_t s, bool forWrite, uint32_t milliseconds, int* error);

// IPv4 addresses in network byte order.
bool ResolveIPv4(const char* host, std::vector<uint32_t>* addresses, std::string* canonicalName, int* error);
bool ParseIPv4(const char* text, uint32_t* address);

} // namespace tavrin::detail
