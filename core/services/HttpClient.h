// The program's HTTP/1.0 client: one blocking connection per request, with
// cookies, referer, proxy, retries and redirects. A client is used by one
// worker at a time; only Abort may come from another thread.
#pragma once

#include "core/services/CookieJar.h"
#include "platform/base/Array.h"
#include "platform/base/String.h"
#include "platform/base/Types.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace tavrin {

// Bounds of one request, so that no peer can hold a worker or its memory for
// ever. Tests shorten them.
struct HttpLimits {
    DWORD socketTimeoutMs = 30000;   // connect, every send and every receive
    DWORD requestTimeoutMs = 600000; // the whole request, retries and redirects included
    size_t maxResponseBytes = size_t{64} << 20;
    int maxRedirects = 10;
};

} // namespace tavrin

class CHttpClient {
public:
    CHttpClient();
    virtual ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    // GET when body is empty; otherwise a POST, urlencoded when boundary is
    // empty and multipart when it is not. Runs RequestWithRetry.
    BOOL Request(const CString& url, const CString& body, CByteArray& out, const CString& boundary);
    // Repeats RequestOnce while it fails, up to the retry count more times.
    // TRUE on success, and also (with empty out) when Abort ended the series
    // while attempts were left: callers test IsStopped before using the bytes.
    BOOL RequestWithRetry(const CString& url, const CByteArray& body, CByteArray& out, const CString& boundary);
    // One request with its redirects; TRUE with the response body in out.
    BOOL RequestOnce(const CString& url, const CByteArray& body, CByteArray& out, const CString& boundary);

    // From any thread: wakes the request under way, which then fails, and
    // stops every further attempt and redirect until ResetStop.
    void Abort();
    // One send of the whole buffer; on failure records the error and closes
    // the socket.
    BOOL SendData(UINT_PTR socket, const BYTE* bytes, int length);

    void SetFollowRedirects(BOOL follow) { m_followRedirects = follow; }
    void SetAcceptCookies(BOOL accept) { m_acceptCookies = accept; }
    void SetRetryCount(int count) { m_retryCount = count; }
    void SetReferer(const CString& referer) { m_referer = referer; }
    // The proxy is used when use is set and host and port are both given.
    void SetProxy(const CString& host, const CString& port, const CString& realm, const CString& userName,
                  const CString& password, BOOL use);

    // Adds the entries of a cookie text ("a=1; b=2; "); an entry replaces one
    // of the same name.
    void AddCookie(const CString& text);
    void ClearCookies();
    // Every entry followed by "; ".
    CString GetCookies() const;

    void ResetStop() { m_stop = false; }
    BOOL IsStopped() const { return m_stop.load(); }

    // The last response's header.
    int GetStatusCode() const;
    // A header value of the last response: "" when absent, "-1" for an absent
    // Content-Length; several lines of the name are concatenated, Set-Cookie
    // pieces each followed by "; ".
    CString GetHeaderValue(const CString& name) const;
    CString GetLocation() const;

    void SetLimits(const tavrin::HttpLimits& limits) { m_limits = limits; }
    const tavrin::HttpLimits& GetLimits() const { return m_limits; }

private:
    BOOL Perform(const CString& url, std::string_view body, CByteArray& out, const CString& boundary);
    BOOL Once(const CString& url, std::string_view body, CByteArray& out, const CString& boundary, int64_t deadline);
    // One connection: builds and sends the request, receives the response.
    // complete tells whether a whole header arrived; the body goes into
    // content.
    bool Exchange(const CString& url, std::string_view body, const CString& boundary, int64_t deadline,
                  bool withCookies, std::string& header, bool& complete, CByteArray& content);
    bool BuildRequest(const CString& url, const CString& host, WORD port, const CString& object, bool viaProxy,
                      bool post, int bodyLength, const CString& boundary, bool withCookies,
                      std::string& header) const;
    // Lower-case host without trailing dots and the port; "" for a bad URL.
    static std::string OriginOf(const CString& url);
    bool Receive(UINT_PTR socket, int64_t deadline, std::string& header, bool& complete, CByteArray& content);
    // Registers the attempt's socket for Abort; false when stop is already set.
    bool Attach(UINT_PTR socket);
    void CloseAttached();

    BOOL m_followRedirects = TRUE;
    std::atomic<int> m_lastError{0};
    std::atomic<bool> m_stop{false};
    int m_retryCount = 5;
    CString m_referer;
    BOOL m_acceptCookies = FALSE;
    tavrin::CookieJar m_cookies;
    CString m_header;
    BOOL m_useProxy = FALSE;
    CString m_proxyUser;
    CString m_proxyPassword;
    CString m_proxyHost;
    CString m_proxyPort;
    CString m_realm;
    tavrin::HttpLimits m_limits;

    std::mutex m_socketLock;
    UINT_PTR m_socket;
};
