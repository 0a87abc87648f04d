#include "providers/common/UploadForm.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace tavrin {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// The parameters of a Content-Disposition value ("form-data; name=..."),
// names in lower case, quotes removed. Quoted values may hold ';'.
std::vector<std::pair<std::string, std::string>> DispositionParameters(std::string_view value)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t p = 0;
    while (p < value.size()) {
        while (p < value.size() && (value[p] == ';' || value[p] == ' ' || value[p] == '\t'))
            ++p;
        size_t nameStart = p;
        while (p < value.size() && value[p] != '=' && value[p] != ';')
            ++p;
        std::string name(value.substr(nameStart, p - nameStart));
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string text;
        if (p < value.size() && value[p] == '=') {
            ++p;
            if (p < value.size() && value[p] == '"') {
                size_t end = value.find('"', p + 1);
                if (end == std::string_view::npos)
                    end = value.size();
                text = std::string(value.substr(p + 1, end - p - 1));
                p = end + 1;
            } else {
                size_t end = value.find(';', p);
                if (end == std::string_view::npos)
                    end = value.size();
                text = std::string(value.substr(p, end - p));
                p = end;
            }
        }
        if (!name.empty())
            out.emplace_back(std::move(name), std::move(text));
    }
    return out;
}

struct PartHeader {
    std::string name;
    std::string fileName;
    bool hasFileName = false;
};

// The header lines of one part (without the blank line).
PartHeader ReadPartHeader(std::string_view lines)
{
    PartHeader header;
    size_t p = 0;
    while (p <= lines.size()) {
        size_t end = lines.find("\r\n", p);
        if (end == std::string_view::npos)
            end = lines.size();
        std::string_view line = lines.substr(p, end - p);
        static constexpr std::string_view kDisposition = "content-disposition:";
        if (StartsWithNoCase(line, kDisposition)) {
            for (auto& [key, value] : DispositionParameters(line.substr(kDisposition.size()))) {
                if (key == "name" && header.name.empty())
                    header.name = value;
                else if (key == "filename" && !header.hasFileName) {
                    header.fileName = value;
                    header.hasFileName = true;
                }
            }
        }
        p = end + 2;
    }
    return header;
}

} // namespace

UploadFormError ParseUploadForm(std::string_view body, std::string_view descriptionName, UploadForm& form)
{
    form = UploadForm();
    size_t lineEnd = body.find("\r\n");
    if (lineEnd == std::string_view::npos || lineEnd < 3 || body.substr(0, 2) != "--")
        return UploadFormError::NoTitle;
    form.boundary = std::string(body.substr(0, lineEnd));
    const std::string separator = "\r\n" + form.boundary;

    bool haveTitle = false;
    size_t p = lineEnd + 2; // the first part's header lines
    for (;;) {
        size_t headerEnd = body.find("\r\n\r\n", p);
        if (headerEnd == std::string_view::npos)
            break;
        PartHeader header = ReadPartHeader(body.substr(p, headerEnd - p));
        size_t dataStart = headerEnd + 4;
        if (header.hasFileName) {
            if (!haveTitle)
                return UploadFormError::NoTitle;
            if (header.fileName.empty())
                return UploadFormError::NoFile;
            form.fileName = header.fileName;
            form.head = std::string(body.substr(0, dataStart));
            return UploadFormError::None;
        }
        size_t dataEnd = body.find(separator, dataStart);
        if (dataEnd == std::string_view::npos)
            break;
        if (!haveTitle && header.name.size() == descriptionName.size() && StartsWithNoCase(header.name, descriptionName)) {
            form.title = std::string(body.substr(dataStart, dataEnd - dataStart));
            haveTitle = true;
        }
        p = dataEnd + separator.size();
        if (body.substr(p, 2) != "\r\n") // "--" closes the form
            break;
        p += 2;
    }
    return haveTitle ? UploadFormError::NoFile : UploadFormError::NoTitle;
}

CByteArray UploadBytes(std::string_view body)
{
    CByteArray out;
    out.SetSize(static_cast<INT_PTR>(body.size()));
    if (!body.empty())
        std::copy(body.begin(), body.end(), reinterpret_cast<char*>(out.GetData()));
    return out;
}

} // namespace tavrin
