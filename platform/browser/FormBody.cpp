#include "platform/browser/FormBody.h"

#include "platform/base/CodePage.h"

#include <cctype>
#include <cstdio>
#include <random>

namespace tavrin::browser {

namespace {

// Text in the form's charset; characters the charset lacks become numeric
// character references, as engines send them.
std::string EncodeText(std::string_view utf8, std::string_view charset)
{
    if (charset == "UTF-8")
        return std::string(utf8);
    std::wstring wide;
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    std::string out;
    for (wchar_t ch : wide) {
        std::string one = WideToGbk(std::wstring_view(&ch, 1));
        if (one == "?" && ch != L'?') {
            char ref[24];
            std::snprintf(ref, sizeof ref, "&#%u;", static_cast<unsigned>(ch));
            out += ref;
        } else {
            out += one;
        }
    }
    return out;
}

std::string NormaliseLineBreaks(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
        } else if (s[i] == '\n') {
            out += "\r\n";
        } else {
            out += s[i];
        }
    }
    return out;
}

void AppendFormEncoded(std::string& out, std::string_view bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '*') {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

// Quoted strings in part headers: quotes and line breaks are escaped.
void AppendQuoted(std::string& out, std::string_view bytes)
{
    for (char c : bytes) {
        if (c == '"')
            out += "%22";
        else if (c == '\r')
            out += "%0D";
        else if (c == '\n')
            out += "%0A";
        else
            out += c;
    }
}

std::string EncodedField(std::string_view utf8, std::string_view charset)
{
    return EncodeText(NormaliseLineBreaks(utf8), charset);
}

// The last component of a program path; a '\' inside a GBK character is a
// trail byte, not a separator.
std::string BaseName(std::string_view path)
{
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < path.size())
            ++i;
        else if (c == '\\' || c == '/')
            start = i + 1;
    }
    return std::string(path.substr(start));
}

} // namespace

std::string MakeBoundary()
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789AB";
    static thread_local std::mt19937 random{std::random_device{}()};
    std::string boundary = "----WebKitFormBoundary";
    for (int i = 0; i < 16; ++i)
        boundary += alphabet[random() & 63];
    return boundary;
}

std::string FileTypeForName(std::string_view name)
{
    static const std::pair<const char*, const char*> types[] = {
        {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"jpe", "image/jpeg"}, {"gif", "image/gif"},
        {"png", "image/png"},  {"bmp", "image/bmp"},   {"txt", "text/plain"}, {"htm", "text/html"},
        {"html", "text/html"}, {"xml", "application/xml"}, {"zip", "application/zip"},
    };
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && name.find_first_of("\\/", dot) == std::string_view::npos) {
        std::string ext(name.substr(dot + 1));
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const auto& [e, type] : types)
            if (ext == e)
                return type;
    }
    return "application/octet-stream";
}

std::string BuildFormQuery(const std::vector<FormEntry>& entries, std::string_view charset)
{
    std::string out;
    for (const FormEntry& e : entries) {
        if (!out.empty())
            out += '&';
        AppendFormEncoded(out, EncodedField(e.name, charset));
        out += '=';
        // A file control in a urlencoded form sends its file's name only.
        AppendFormEncoded(out, EncodedField(e.isFile ? e.fileName : e.value, charset));
    }
    return out;
}

FormBody BuildFormBody(const std::vector<FormEntry>& entries, std::string_view enctype, std::string_view charset,
                       std::string boundary)
{
    FormBody body;
    if (enctype == "multipart/form-data") {
        if (boundary.empty())
            boundary = MakeBoundary();
        body.contentType = "multipart/form-data; boundary=" + boundary;
        std::string& out = body.data;
        for (const FormEntry& e : entries) {
            out += "--" + boundary + "\r\n";
            out += "Content-Disposition: form-data; name=\"";
            AppendQuoted(out, EncodedField(e.name, charset));
            out += '"';
            if (e.isFile) {
                out += "; filename=\"";
                AppendQuoted(out, EncodeText(e.fileName, charset));
                out += "\"\r\nContent-Type: ";
                out += e.fileType.empty() ? "application/octet-stream" : e.fileType;
            }
            out += "\r\n\r\n";
            out += e.isFile ? e.fileData : EncodedField(e.value, charset);
            out += "\r\n";
        }
        out += "--" + boundary + "--\r\n";
    } else if (enctype == "text/plain") {
        body.contentType = "text/plain";
        for (const FormEntry& e : entries)
            body.data += EncodedField(e.name, charset) + "=" +
                         EncodedField(e.isFile ? e.fileName : e.value, charset) + "\r\n";
    } else {
        body.contentType = "application/x-www-form-urlencoded";
        body.data = BuildFormQuery(entries, charset);
    }
    return body;
}

std::string RestorePickedFileNames(std::string_view contentType, std::string_view body,
                                   const std::vector<std::string>& pickedPaths, std::string_view charset)
{
    size_t at = contentType.find("boundary=");
    if (pickedPaths.empty() || at == std::string_view::npos ||
        contentType.substr(0, 19) != "multipart/form-data")
        return std::string(body);
    std::string boundary(contentType.substr(at + 9));
    if (boundary.size() >= 2 && boundary.front() == '"' && boundary.back() == '"')
        boundary = boundary.substr(1, boundary.size() - 2);
    const std::string delimiter = "--" + boundary + "\r\n";

    // The quoted forms of each picked file's base name and path in the form's
    // charset. Only that one: an ASCII name reads the same in both, and its
    // path must come back in the charset of the rest of the body.
    const bool utf8 = charset == "UTF-8";
    struct Pick {
        std::string quotedName;
        std::string quotedPath;
    };
    std::vector<Pick> picks;
    for (auto it = pickedPaths.rbegin(); it != pickedPaths.rend(); ++it) {
        Pick p;
        std::string name = BaseName(*it);
        AppendQuoted(p.quotedName, utf8 ? GbkToUtf8(name) : name);
        AppendQuoted(p.quotedPath, utf8 ? GbkToUtf8(*it) : *it);
        picks.push_back(std::move(p));
    }

    std::string out;
    size_t copied = 0;
    size_t pos = 0;
    while ((pos = body.find(delimiter, pos)) != std::string_view::npos) {
        // A delimiter starts the body or a line.
        if (pos != 0 && (pos < 2 || body.substr(pos - 2, 2) != "\r\n")) {
            pos += delimiter.size();
            continue;
        }
        size_t headerStart = pos + delimiter.size();
        size_t headerEnd = body.find("\r\n\r\n", headerStart);
        if (headerEnd == std::string_view::npos)
            break;
        std::string_view header = body.substr(headerStart, headerEnd - headerStart);
        size_t nameAt = header.find("; filename=\"");
        if (nameAt != std::string_view::npos) {
            size_t valueStart = headerStart + nameAt + 12;
            size_t valueEnd = body.find('"', valueStart);
            if (valueEnd != std::string_view::npos && valueEnd <= headerEnd) {
                std::string_view value = body.substr(valueStart, valueEnd - valueStart);
                for (const Pick& p : picks) {
                    if (!value.empty() && value == p.quotedName) {
                        out.append(body.substr(copied, valueStart - copied));
                        out += p.quotedPath;
                        copied = valueEnd;
                        break;
                    }
                }
            }
        }
        pos = headerEnd;
    }
    out.append(body.substr(copied));
    return out;
}

} // namespace tavrin::browser
