// Form bodies from hostile field texts, and the picked-file restoring on
// hostile multipart bodies (the engine's body of a remote page's form).
// Input: the first byte picks charset and encoding; the rest are NUL
// separated fields: name, value pairs; a name starting with 'F' is a file
// whose value is its program path.
#include "platform/base/CodePage.h"
#include "platform/base/String.h"
#include "platform/browser/FormBody.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A failed property names itself, so a crash input tells what broke.
#define CHECK(cond)                                                                                      \
    do {                                                                                                 \
        if (!(cond)) {                                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);           \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

namespace {

std::string BaseName(const std::string& path)
{
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (tavrin::IsLeadByte(c) && i + 1 < path.size())
            ++i;
        else if (c == '\\' || c == '/')
            start = i + 1;
    }
    return path.substr(start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string_view charset = (data[0] & 1) ? "UTF-8" : "GBK";
    static const char* const enctypes[] = {"application/x-www-form-urlencoded", "multipart/form-data", "text/plain",
                                           ""};
    const std::string_view enctype = enctypes[(data[0] >> 1) & 3];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<std::string> fields;
    for (size_t pos = 0;;) {
        size_t nul = rest.find('\0', pos);
        fields.emplace_back(rest.substr(pos, nul == std::string_view::npos ? std::string_view::npos : nul - pos));
        if (nul == std::string_view::npos)
            break;
        pos = nul + 1;
    }

    const std::string boundary = "----WebKitFormBoundaryFuzz0123456";
    std::vector<tavrin::browser::FormEntry> asSent, withPaths;
    std::vector<std::string> picked;
    bool plain = true; // no field text could pass for a part delimiter or header
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        const std::string& name = fields[i];
        const std::string& value = fields[i + 1];
        plain = plain && name.find(boundary) == std::string::npos && value.find(boundary) == std::string::npos;
        if (!name.empty() && name[0] == 'F') {
            std::string type = tavrin::browser::FileTypeForName(value);
            asSent.emplace_back(name, "", true, tavrin::GbkToUtf8(BaseName(value)), type, value);
            withPaths.emplace_back(name, "", true, tavrin::GbkToUtf8(value), type, value);
            picked.push_back(value);
        } else {
            asSent.emplace_back(name, value);
            withPaths.emplace_back(name, value);
        }
    }

    tavrin::browser::FormBody body = tavrin::browser::BuildFormBody(asSent, enctype, charset, boundary);
    if (enctype != "multipart/form-data" && enctype != "text/plain") {
        CHECK(body.data == tavrin::browser::BuildFormQuery(asSent, charset));
        size_t amps = 0;
        for (char c : body.data) {
            CHECK((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                  std::string_view("-._*+%&=").find(c) != std::string_view::npos);
            amps += c == '&';
        }
        CHECK(amps + 1 == (asSent.empty() ? 1 : asSent.size()));
    }

    // Nothing picked, nothing changes; hostile bodies are copied through.
    CHECK(tavrin::browser::RestorePickedFileNames(body.contentType, body.data, {}, charset) == body.data);
    (void)tavrin::browser::RestorePickedFileNames(body.contentType, rest, picked, charset);
    (void)tavrin::browser::RestorePickedFileNames("multipart/form-data; boundary=\"" + fields[0] + "\"", rest,
                                                  picked, charset);

    // The engine names each picked file by its base name; restoring gives
    // the body built with the full paths, when each base name is one file's.
    if (enctype == "multipart/form-data" && plain) {
        bool distinct = true;
        for (size_t a = 0; a < picked.size(); ++a) {
            std::string ua = tavrin::GbkToUtf8(picked[a]);
            distinct = distinct && tavrin::Utf8ToGbk(ua) == picked[a] && !BaseName(picked[a]).empty();
            for (size_t b = 0; b < a; ++b)
                distinct = distinct && BaseName(picked[a]) != BaseName(picked[b]);
        }
        if (distinct) {
            tavrin::browser::FormBody full = tavrin::browser::BuildFormBody(withPaths, enctype, charset, boundary);
            CHECK(tavrin::browser::RestorePickedFileNames(body.contentType, body.data, picked, charset) == full.data);
        }
    }
    return 0;
}
