// The message pictures on hostile content: the input (up to its first 0x01)
// is a message's content, the rest the bytes every picture address answers
// with. The real store code collects the image links, decides for each
// address whether it is the provider's and fetches it. An address is judged
// the provider's only when the host the URL parser connects to is one of the
// provider's hosts, so the sign-in cookie never reaches another host; files
// it writes lie in the class's images folder under SafeFileName names.
#include "core/services/HttpClient.h"
#include "fuzz/Class5460.h"
#include "fuzz/FuzzText.h"
#include "platform/base/Path.h"
#include "platform/base/Url.h"
#include "providers/5460/MessageStore5460.h"
#include "providers/5460/PhotoText.h"
#include "providers/5460/site.h"
#include "providers/common/SafeFileName.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

bool IsProviderServer(const CString& url)
{
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, server, object, port))
        return false;
    server.MakeLower();
    // One trailing dot names the same host.
    if (server.Right(1) == ".")
        server = server.Left(server.GetLength() - 1);
    for (const char* host : {tavrin::p5460::kWebHost1, tavrin::p5460::kWebHost2, tavrin::p5460::kImageHost,
                             tavrin::p5460::kUploadHost})
        if (server == host)
            return true;
    return false;
}

bool HasCookie(const std::string& head)
{
    return fuzz::AsciiLower(head).find("\r\ncookie:") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\x01');
    const CString content(input.substr(0, cut));
    std::string picture(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));

    // The one host check, on the text itself and on each address-like piece.
    FUZZ_CHECK(!tavrin::p5460::IsProviderUrl(content) || IsProviderServer(content));

    fuzz::Class5460& fixture = fuzz::Class5460::Get();
    auto* store = static_cast<CMessageStore5460*>(fixture.schoolClass->GetMessageStore());
    const std::filesystem::path classFolder = tavrin::NativePath(store->GetClassFolder().View());
    std::error_code error;
    std::filesystem::remove_all(classFolder, error);
    fixture.site.SetRoutes({{"", picture}});

    CHttpClient client;
    client.SetProxy("127.0.0.1", CString(std::to_string(fixture.site.Port()).c_str()), CString(), CString(),
                    CString(), TRUE);
    client.AddCookie("JSESSIONID=fuzz; ");
    CMessageItem5460 message;
    message.m_content = content;
    message.m_id = "1";
    store->LocalizeImages(&message, &client, "");

    for (const fuzz::LoopbackSite::Request& request : fixture.site.Requests()) {
        FUZZ_CHECK(!HasCookie(request.head) || IsProviderServer(CString(request.target.c_str())));
        FUZZ_CHECK(!tavrin::p5460::IsProviderUrl(CString(request.target.c_str())) ||
                   IsProviderServer(CString(request.target.c_str())));
    }
    for (auto it = std::filesystem::recursive_directory_iterator(classFolder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file())
            continue;
        const std::string name = it->path().filename().string();
        FUZZ_CHECK(it->path().parent_path() == classFolder / "images");
        FUZZ_CHECK(tavrin::SafeFileName(tavrin::ProgramPath(name)).Str() == tavrin::ProgramPath(name).Str());
    }
    return 0;
}
