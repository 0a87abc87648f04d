// URL splitting as the HTTP client needs it: service, host, object (path and
// query) and port. Only http URLs succeed. The object is canonical: dot
// segments are resolved, the path's unsafe bytes (blanks, controls, non-ASCII)
// are percent-encoded, blanks and controls of the query too, and a fragment
// is dropped, so the object can stand in a request line as it is.
#pragma once

#include "platform/base/String.h"
#include "platform/base/Types.h"

typedef WORD INTERNET_PORT;

#define INTERNET_INVALID_PORT_NUMBER 0
#define INTERNET_DEFAULT_FTP_PORT 21
#define INTERNET_DEFAULT_GOPHER_PORT 70
#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_DEFAULT_HTTPS_PORT 443

#define INTERNET_SERVICE_FTP 1
#define INTERNET_SERVICE_GOPHER 2
#define INTERNET_SERVICE_HTTP 3

#define AFX_INET_SERVICE_FTP INTERNET_SERVICE_FTP
#define AFX_INET_SERVICE_HTTP INTERNET_SERVICE_HTTP
#define AFX_INET_SERVICE_GOPHER INTERNET_SERVICE_GOPHER
#define AFX_INET_SERVICE_UNK 0x1000
#define AFX_INET_SERVICE_FILE (AFX_INET_SERVICE_UNK + 1)
#define AFX_INET_SERVICE_MAILTO (AFX_INET_SERVICE_UNK + 2)
#define AFX_INET_SERVICE_MID (AFX_INET_SERVICE_UNK + 3)
#define AFX_INET_SERVICE_CID (AFX_INET_SERVICE_UNK + 4)
#define AFX_INET_SERVICE_NEWS (AFX_INET_SERVICE_UNK + 5)
#define AFX_INET_SERVICE_NNTP (AFX_INET_SERVICE_UNK + 6)
#define AFX_INET_SERVICE_PROSPERO (AFX_INET_SERVICE_UNK + 7)
#define AFX_INET_SERVICE_TELNET (AFX_INET_SERVICE_UNK + 8)
#define AFX_INET_SERVICE_WAIS (AFX_INET_SERVICE_UNK + 9)
#define AFX_INET_SERVICE_AFS (AFX_INET_SERVICE_UNK + 10)
#define AFX_INET_SERVICE_HTTPS (AFX_INET_SERVICE_UNK + 11)

// TRUE for a well-formed http URL. On FALSE the service type still tells a
// recognised scheme (AFX_INET_SERVICE_UNK when none), the other outputs are
// empty and the port 0. A CR or LF anywhere fails.
BOOL AfxParseURL(LPCTSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port);
