#include "core/services/HttpClient.h"

#include "core/services/Base64Encoder.h"
#include "core/services/HttpResponse.h"
#include "platform/base/Clock.h"
#include "platform/base/Socket.h"
#include "platform/base/Url.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The header is read in small chunks; the body in large ones, straight into
// the result.
constexpr int kReceiveChunk = 4096;
constexpr size_t kMaxReceive = size_t{1} << 20;
constexpr size_t kInitialBody = size_t{64} << 10;

const char kAccept[] = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
                       "application/vnd.ms-powerpoint, application/msword, application/x-shockwave-flash, */*";
const char kUserAgent[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.2; .NET CLR 1.1.4322)";

// Text that goes into a request line or header may not end it early.
bool IsHeaderSafe(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string_view ViewOf(const CByteArray& bytes)
{
    return {reinterpret_cast<const char*>(bytes.GetData()), static_cast<size_t>(bytes.GetSize())};
}

// A port of a proxy setting: decimal digits, 1 to 65535.
bool ParsePort(CString text, WORD& port)
{
    text.Trim();
    if (text.IsEmpty() || text.GetLength() > 5)
        return false;
    unsigned value = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<WORD>(value);
    return true;
}

// IPv4 address of a host name or dotted-decimal text (network byte order).
bool Resolve(const CString& host, ULONG& address)
{
    if (host.IsEmpty())
        return false;
    if (hostent* entry = gethostbyname(host); entry && entry->h_addr_list && entry->h_addr_list[0]) {
        std::memcpy(&address, entry->h_addr_list[0], sizeof address);
        return true;
    }
    address = inet_addr(host);
    return address != INADDR_NONE;
}

// "host" or "host:port" for a port other than 80.
CString Authority(const CString& host, WORD port)
{
    CString text(host);
    if (port != INTERNET_DEFAULT_HTTP_PORT)
        text.AppendFormat(":%u", static_cast<unsigned>(port));
    return text;
}

} // namespace

CHttpClient::CHttpClient() : m_socket(INVALID_SOCKET) {}

CHttpClient::~CHttpClient() = default;

void CHttpClient::SetProxy(const CString& host, const CString& port, const CString& realm, const CString& userName,
                           const CString& password, BOOL use)
{
    m_proxyHost = host;
    m_proxyPort = port;
    m_realm = realm;
    m_proxyUser = userName;
    m_proxyPassword = password;
    m_useProxy = use;
}

void CHttpClient::AddCookie(const CString& text)
{
    m_cookies.Add(text.View());
}

void CHttpClient::ClearCookies()
{
    m_cookies.Clear();
}

CString CHttpClient::GetCookies() const
{
    return CString(m_cookies.ToString());
}

int CHttpClient::GetStatusCode() const
{
    return tavrin::http::StatusCode(m_header.View());
}

CString CHttpClient::GetHeaderValue(const CString& name) const
{
    return CString(tavrin::http::HeaderValue(m_header.View(), name.View()));
}

CString CHttpClient::GetLocation() const
{
    return GetHeaderValue("Location: ");
}

BOOL CHttpClient::Request(const CString& url, const CString& body, CByteArray& out, const CString& boundary)
{
    return Perform(url, body.View(), out, boundary);
}

BOOL CHttpClient::RequestWithRetry(const CString& url, const CByteArray& body, CByteArray& out,
                                   const CString& boundary)
{
    return Perform(url, ViewOf(body), out, boundary);
}

BOOL CHttpClient::RequestOnce(const CString& url, const CByteArray& body, CByteArray& out, const CString& boundary)
{
    return Once(url, ViewOf(body), out, boundary, tavrin::clock::NowMs() + m_limits.requestTimeoutMs);
}

BOOL CHttpClient::Perform(const CString& url, std::string_view body, CByteArray& out, const CString& boundary)
{
    // One deadline for the whole series: retries do not buy a trickling
    // server more time.
    const int64_t deadline = tavrin::clock::NowMs() + m_limits.requestTimeoutMs;
    for (int attempt = 0;; ++attempt) {
        if (Once(url, body, out, boundary, deadline))
            return TRUE;
        if (attempt >= m_retryCount)
            return FALSE;
        if (m_stop) {
            out.RemoveAll();
            return TRUE;
        }
        if (tavrin::clock::NowMs() >= deadline)
            return FALSE;
    }
}

BOOL CHttpClient::Once(const CString& url, std::string_view body, CByteArray& out, const CString& boundary,
                       int64_t deadline)
{
    out.RemoveAll();
    CString current = url;
    int redirects = 0;
    std::string header;
    BOOL result = FALSE;
    // The cookies belong to the server the caller asked: a redirect to
    // another server neither gets them nor sets any.
    const std::string origin = OriginOf(url);
    for (;;) {
        if (m_stop) {
            WSASetLastError(WSAEINTR);
            break;
        }
        const bool sameOrigin = !origin.empty() && OriginOf(current) == origin;
        bool complete = false;
        if (!Exchange(current, body, boundary, deadline, sameOrigin, header, complete, out) || !complete)
            break;
        m_header = CString(header);
        int status = GetStatusCode();
        if ((status >= 501 && status <= 598) || status == 407)
            break;
        if (m_acceptCookies && sameOrigin)
            m_cookies.Set(tavrin::http::HeaderValue(header, "Set-Cookie"));
        std::string location = tavrin::http::HeaderValue(header, "Location");
        if (!location.empty() && m_followRedirects) {
            out.RemoveAll();
            // A server that redirects without end must not keep the worker.
            if (++redirects > m_limits.maxRedirects)
                break;
            current = CString(tavrin::http::ResolveLocation(current.View(), location));
            body = {}; // the next request is a GET
            continue;
        }
        result = TRUE;
        break;
    }
    if (!result)
        out.RemoveAll();
    m_lastError = WSAGetLastError();
    return result;
}

std::string CHttpClient::OriginOf(const CString& url)
{
    DWORD service = 0;
    CString host;
    CString object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, host, object, port))
        return std::string();
    std::string origin(host.View());
    for (char& c : origin)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!origin.empty() && origin.back() == '.')
        origin.pop_back(); // "host." names the same server as "host"
    return origin + ":" + std::to_string(port);
}

bool CHttpClient::BuildRequest(const CString& url, const CString& host, WORD port, const CString& object,
                               bool viaProxy, bool post, int bodyLength, const CString& boundary, bool withCookies,
                               std::string& header) const
{
    const CString& referer = m_referer.IsEmpty() ? url : m_referer;
    std::string cookie = withCookies ? m_cookies.HeaderText() : std::string();
    if (!IsHeaderSafe(referer.View()) || !IsHeaderSafe(cookie) || !IsHeaderSafe(boundary.View()) ||
        !IsHeaderSafe(object.View()) || !IsHeaderSafe(m_realm.View()))
        return false;
    // Through a proxy the target names the server, port included, since the
    // proxy connects on our behalf.
    CString authority = Authority(host, port);
    header.clear();
    header += post ? "POST " : "GET ";
    if (viaProxy) {
        header += "HTTP://";
        header += authority.View();
    }
    header += object.View();
    header += " HTTP/1.0\r\n";
    header += kAccept;
    header += "\r\nReferer: ";
    header += referer.View();
    header += "\r\nAccept-Language: zh-cn\r\n";
    if (post && boundary.IsEmpty()) {
        header += "Content-Type: application/x-www-form-urlencoded\r\n";
    } else if (post) {
        header += "Content-Type: multipart/form-data; boundary=";
        header += boundary.Mid(2).View();
        header += "\r\n";
    }
    // The response is read to the end of the connection, so none may stay open.
    header += "Proxy-Connection: close\r\nConnection: close\r\n";
    header += kUserAgent;
    header += "\r\nHost: ";
    header += authority.View();
    if (post) {
        header += "\r\nContent-Length: ";
        header += std::to_string(bodyLength);
    }
    if (!cookie.empty()) {
        header += "\r\nCookie: ";
        header += cookie;
    }
    if (viaProxy && !m_proxyUser.IsEmpty()) {
        CString credentials;
        credentials.Format("%s:%s", m_proxyUser, m_proxyPassword);
        CString encoded;
        CBase64Encoder encoder;
        if (!encoder.Encode(reinterpret_cast<const BYTE*>(credentials.GetString()), credentials.GetLength(), encoded,
                            FALSE))
            return false;
        // Only the proxy gets the credentials: an Authorization line would
        // hand them to every site behind it.
        header += "\r\nProxy-Authorization: Basic ";
        header += encoded.View();
        if (!m_realm.IsEmpty()) {
            header += " realm=\"";
            header += m_realm.View();
            header += "\"";
        }
    }
    header += "\r\n\r\n";
    return true;
}

bool CHttpClient::Attach(UINT_PTR socket)
{
    std::lock_guard<std::mutex> lock(m_socketLock);
    if (m_stop)
        return false;
    m_socket = socket;
    return true;
}

void CHttpClient::CloseAttached()
{
    SOCKET socket;
    {
        std::lock_guard<std::mutex> lock(m_socketLock);
        socket = m_socket;
        m_socket = INVALID_SOCKET;
    }
    if (socket != INVALID_SOCKET) {
        int error = WSAGetLastError();
        closesocket(socket);
        WSASetLastError(error); // the attempt's own error is the one to keep
    }
}

void CHttpClient::Abort()
{
    m_lastError = WSAGetLastError();
    std::lock_guard<std::mutex> lock(m_socketLock);
    m_stop = true;
    // The attempt closes its own socket; this only wakes it, so a socket
    // that the attempt has already given up is never touched.
    if (m_socket != INVALID_SOCKET)
        tavrin::AbortSocket(m_socket);
}

BOOL CHttpClient::SendData(UINT_PTR socket, const BYTE* bytes, int length)
{
    if (send(socket, reinterpret_cast<const char*>(bytes), length, 0) == length)
        return TRUE;
    m_lastError = WSAGetLastError();
    if (socket == m_socket)
        CloseAttached();
    else
        closesocket(socket);
    return FALSE;
}

bool CHttpClient::Exchange(const CString& url, std::string_view body, const CString& boundary, int64_t deadline,
                           bool withCookies, std::string& header, bool& complete, CByteArray& content)
{
    header.clear();
    content.RemoveAll();
    DWORD service = 0;
    CString host;
    CString object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, host, object, port) || service != AFX_INET_SERVICE_HTTP)
        return false;

    // An empty proxy host or port means a direct connection; with a proxy
    // the target host is the proxy's business and is not resolved here.
    bool viaProxy = m_useProxy && !m_proxyHost.IsEmpty() && !m_proxyPort.IsEmpty();
    CString connectHost = host;
    WORD connectPort = port;
    if (viaProxy) {
        connectHost = m_proxyHost;
        if (!ParsePort(m_proxyPort, connectPort))
            return false;
    }

    const bool post = !body.empty();
    if (body.size() > static_cast<size_t>(INT32_MAX))
        return false;
    std::string request;
    if (!BuildRequest(url, host, port, object, viaProxy, post, static_cast<int>(body.size()), boundary, withCookies,
                      request))
        return false;

    ULONG address = 0;
    if (!Resolve(connectHost, address)) {
        WSASetLastError(WSAHOST_NOT_FOUND);
        return false;
    }

    int64_t remaining = deadline - tavrin::clock::NowMs();
    if (remaining <= 0) {
        WSASetLastError(WSAETIMEDOUT);
        return false;
    }
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    if (!Attach(s)) {
        closesocket(s);
        WSASetLastError(WSAEINTR);
        return false;
    }
    DWORD sendTimeout = static_cast<DWORD>(std::min<int64_t>(m_limits.socketTimeoutMs, remaining));
    DWORD receiveTimeout = m_limits.socketTimeoutMs;
    linger noLinger{1, 0}; // closing resets the connection at once
    if (setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&noLinger), sizeof noLinger) != 0 ||
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&receiveTimeout),
                   sizeof receiveTimeout) != 0 ||
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout), sizeof sendTimeout) !=
            0) {
        CloseAttached();
        return false;
    }

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(connectPort);
    to.sin_addr.s_addr = address;
    if (connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
        CloseAttached();
        return false;
    }
    if (!SendData(s, reinterpret_cast<const BYTE*>(request.data()), static_cast<int>(request.size())))
        return false;
    if (post && !SendData(s, reinterpret_cast<const BYTE*>(body.data()), static_cast<int>(body.size())))
        return false;

    bool received = Receive(s, deadline, header, complete, content);
    CloseAttached();
    return received;
}

bool CHttpClient::Receive(UINT_PTR s, int64_t deadline, std::string& header, bool& complete, CByteArray& content)
{
    DWORD receiveTimeout = m_limits.socketTimeoutMs;
    // One receive: -1 failed (error recorded), 0 the peer closed, else bytes.
    auto receive = [&](char* into, size_t room) -> int {
        // The whole request has a deadline besides the per-receive time-out.
        int64_t remaining = deadline - tavrin::clock::NowMs();
        if (remaining <= 0) {
            WSASetLastError(WSAETIMEDOUT);
            return -1;
        }
        DWORD wait = static_cast<DWORD>(std::min<int64_t>(m_limits.socketTimeoutMs, remaining));
        if (wait != receiveTimeout) {
            receiveTimeout = wait;
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
        }
        int n = recv(s, into, static_cast<int>(std::min<size_t>(room, kMaxReceive)), 0);
        if (n < 0)
            return -1;
        // Bytes that arrive past the deadline do not count either.
        if (n > 0 && tavrin::clock::NowMs() > deadline) {
            WSASetLastError(WSAETIMEDOUT);
            return -1;
        }
        return n;
    };

    // The header, in chunks, up to its end.
    std::string head;
    char chunk[kReceiveChunk];
    size_t headerEnd = tavrin::http::kNoHeaderEnd;
    while (headerEnd == tavrin::http::kNoHeaderEnd) {
        int n = receive(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0) {
            header = head; // no complete header: the response fails
            return true;
        }
        if (head.size() + static_cast<size_t>(n) > m_limits.maxResponseBytes) {
            WSASetLastError(WSAEMSGSIZE);
            return false;
        }
        size_t scanFrom = head.size() < 3 ? 0 : head.size() - 3;
        head.append(chunk, static_cast<size_t>(n));
        headerEnd = tavrin::http::FindHeaderEnd(head, scanFrom);
    }
    header = head.substr(0, headerEnd);
    complete = true;
    if (tavrin::http::StatusCode(header) == 407)
        return true;

    // The body goes straight into the caller's array: no copy of a large
    // download afterwards.
    const size_t bodyStart = headerEnd + 4;
    const size_t room = m_limits.maxResponseBytes - std::min(m_limits.maxResponseBytes, bodyStart);
    const int64_t contentLength = tavrin::http::ContentLength(header);
    if (contentLength >= 0 && static_cast<uint64_t>(contentLength) > room) {
        WSASetLastError(WSAEMSGSIZE);
        return false;
    }
    size_t filled = head.size() - bodyStart;
    size_t capacity = contentLength >= 0 ? static_cast<size_t>(contentLength) : kInitialBody;
    capacity = std::min(std::max(capacity, filled), room);
    // Not zero-filled first: every byte handed out is one received.
    content.SetSizeNoInit(static_cast<INT_PTR>(capacity));
    if (filled > 0)
        std::memcpy(content.GetData(), head.data() + bodyStart, filled);
    head = std::string();

    auto done = [&] { return contentLength >= 0 && filled >= static_cast<uint64_t>(contentLength); };
    while (!done()) {
        if (filled == capacity) {
            if (capacity == room) {
                // At the cap: one more byte is one too many.
                int n = receive(chunk, 1);
                if (n < 0)
                    return false;
                if (n > 0) {
                    WSASetLastError(WSAEMSGSIZE);
                    return false;
                }
                break;
            }
            capacity = std::min(room, std::max(capacity * 2, kInitialBody));
            content.SetSizeNoInit(static_cast<INT_PTR>(capacity));
        }
        int n = receive(reinterpret_cast<char*>(content.GetData()) + filled, capacity - filled);
        if (n < 0)
            return false;
        if (n == 0) {
            // A close short of the declared length is a cut download, not a page.
            if (contentLength >= 0) {
                WSASetLastError(WSAECONNRESET);
                return false;
            }
            break; // the peer closed: the response is complete
        }
        filled += static_cast<size_t>(n);
    }
    content.SetSize(static_cast<INT_PTR>(filled));
    return true;
}
