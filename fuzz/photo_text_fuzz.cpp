// The photo album's small rules on remote text: an id and an address, one a
// line. A photo's file name is its numeric id and at most a short extension
// of letters and digits, or nothing; an address that counts as the
// provider's own (and so gets the session cookie) is one that the HTTP
// client, if it takes it at all, sends to one of the provider's hosts.
#include "fuzz/FuzzText.h"
#include "platform/base/Url.h"
#include "providers/5460/PhotoText.h"
#include "providers/5460/site.h"
#include "providers/common/NumericId.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines = fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\n');
    lines.resize(2);
    const CString id(lines[0]);
    const CString url(lines[1]);

    CString name = tavrin::p5460::PhotoFileName(id, url);
    if (!tavrin::IsNumericId(id)) {
        FUZZ_CHECK(name.IsEmpty());
    } else {
        std::string_view n = name.View();
        FUZZ_CHECK(n.substr(0, lines[0].size()) == lines[0]);
        std::string_view extension = n.substr(lines[0].size());
        if (!extension.empty()) {
            FUZZ_CHECK(extension[0] == '.' && extension.size() >= 2 && extension.size() <= 6);
            for (char c : extension.substr(1))
                FUZZ_CHECK(IsAlnum(c));
        }
    }

    CString time = tavrin::p5460::FullUploadTime(id);
    if (lines[0].size() >= 2 && lines[0][0] >= '0' && lines[0][0] <= '9' && lines[0][1] >= '0' && lines[0][1] <= '9')
        FUZZ_CHECK(time.View().substr(2) == lines[0] && (time.Left(2) == "19" || time.Left(2) == "20"));
    else
        FUZZ_CHECK(time.View() == lines[0]);

    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    if (tavrin::p5460::IsProviderUrl(url) && AfxParseURL(url, service, server, object, port)) {
        server.MakeLower();
        bool known = false;
        for (const char* host : {tavrin::p5460::kWebHost1, tavrin::p5460::kWebHost2, tavrin::p5460::kUploadHost,
                                 tavrin::p5460::kImageHost})
            known = known || server == host;
        FUZZ_CHECK(known);
    }
    return 0;
}
