// Pictures of stored messages: each absolute picture is fetched once into
// the class's "images" folder and the content points at the copy (or at the
// missing picture); a photo notice's pictures link to the photo they show.
#include "providers/5460/MessageStore5460.h"

#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "providers/5460/MessageText.h"
#include "providers/5460/PhotoText.h"
#include "providers/common/SafeFileName.h"

#include <boost/regex.hpp>

#include <map>
#include <string>
#include <vector>

namespace {

const char kMissingPicture[] = "../../../styles/5460/default/images/s_missing.png";
const char kNoticeTitle[] = "新照片通知.";
const char kLinkAlt[] = " alt=\"点击查看原图\"";

// Literal text inside an expression.
std::string RegexLiteral(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (std::string_view(".[]{}()\\*+?^$|").find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return out;
}

// The picture address of a match of the address pattern: group 2 without
// the closing quote of either kind.
CString AddressOf(const boost::smatch& match)
{
    CString address(match[2].str());
    if (address.Right(1) == "'" || address.Right(1) == "\"")
        address = address.Left(address.GetLength() - 1);
    return address;
}

bool IsDigits(const CString& text)
{
    if (text.IsEmpty())
        return false;
    for (int i = 0; i < text.GetLength(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// The photo links of a notice as the board sent it: the photo each link
// names, by the address of every picture inside the link, and all of them in
// order.
struct NoticeLinks {
    std::map<std::string, CString> byAddress;
    std::vector<CString> ids;
};

NoticeLinks ReadNoticeLinks(const std::string& raw, const boost::regex& addressPattern)
{
    static const boost::regex linkPattern("<a href=/gy5460/jsp/picture/pictureDetail\\.jsp\\?picID=([0-9]+)&[^>]*>(.*?)</a>",
                                          boost::regex::perl);
    NoticeLinks links;
    try {
        for (boost::sregex_iterator it(raw.begin(), raw.end(), linkPattern), end; it != end; ++it) {
            const CString id((*it)[1].str());
            links.ids.push_back(id);
            const std::string inside = (*it)[2].str();
            for (boost::sregex_iterator picture(inside.begin(), inside.end(), addressPattern); picture != end; ++picture)
                links.byAddress.emplace(AddressOf(*picture).Str(), id);
        }
    } catch (const std::exception&) {
        links = NoticeLinks();
    }
    return links;
}

bool FileExists(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void CMessageStore5460::LocalizeImages(CMessageItem5460* message, CHttpClient* client, const CString& rawContent)
{
    static const boost::regex tagPattern("(<img[^>]* src=[^>\\s]* [^>]*>)", boost::regex::perl | boost::regex::icase);
    static const boost::regex addressPattern("<img[^>]* src=('|\")?(http://[^>\\s]*)('|\")? [^>]*>",
                                             boost::regex::perl | boost::regex::icase);
    if (!message || !client)
        return;

    std::vector<std::string> tags;
    try {
        const std::string saved = message->m_content.Str();
        for (boost::sregex_iterator it(saved.begin(), saved.end(), tagPattern), end; it != end; ++it)
            tags.push_back((*it)[1].str());
    } catch (const std::exception&) {
        tags.clear();
    }

    const bool notice = message->m_title == kNoticeTitle;
    const NoticeLinks links = notice ? ReadNoticeLinks(rawContent.Str(), addressPattern) : NoticeLinks();
    // A notice's anchors go once, before any picture is linked, so that every
    // picture keeps its link.
    if (notice)
        RemoveHtmlTags(message->m_content, "<a>");

    const CString folder = GetClassFolder() + "\\images";
    for (const std::string& tag : tags) {
        if (client->IsStopped())
            break;
        boost::smatch match;
        bool found = false;
        try {
            found = boost::regex_search(tag, match, addressPattern);
        } catch (const std::exception&) {
            found = false;
        }
        if (!found)
            continue;
        const CString address = AddressOf(match);

        const CString remoteName = address.Mid(address.ReverseFind('/') + 1);
        const CString fileName = tavrin::SafeFileName(remoteName);
        const CString localPath = folder + "\\" + fileName;
        CreateDirectoryPath(folder);

        CString reference = "images/" + fileName;
        if (!FileExists(localPath)) {
            const bool foreign = !tavrin::p5460::IsProviderUrl(address);
            // Another host never sees the session cookie.
            CString cookies;
            if (foreign) {
                cookies = client->GetCookies();
                client->ClearCookies();
            }
            CByteArray bytes;
            BOOL ok = client->Request(address, "", bytes, "");
            if (foreign) {
                client->ClearCookies();
                client->AddCookie(cookies);
            }
            // A stopped fetch leaves the address for the next update.
            if (client->IsStopped())
                break;
            const int status = client->GetStatusCode();
            // Only a picture is stored: an error page never becomes one.
            if (!ok || status < 200 || status >= 300 || bytes.GetSize() == 0 ||
                !tavrin::WriteFileAtomic(localPath, bytes.GetData(), static_cast<size_t>(bytes.GetSize())))
                reference = kMissingPicture;
        }
        message->m_content.Replace(address, reference);

        if (!notice)
            continue;
        // The photo of the link around this picture; else the one its name
        // gives (a thumbnail's name is "s_", the photo id and an extension);
        // else the notice's only link.
        CString id;
        auto own = links.byAddress.find(address.Str());
        if (own != links.byAddress.end()) {
            id = own->second;
        } else {
            int dot = remoteName.ReverseFind('.');
            id = dot >= 0 ? remoteName.Left(dot) : remoteName;
            if (id.Left(2) == "s_")
                id = id.Mid(2);
            if (!IsDigits(id) && links.ids.size() == 1)
                id = links.ids.front();
        }
        if (!IsDigits(id))
            continue;
        const boost::regex picture("(<img[^>]* src=('|\")?" + RegexLiteral(reference.Str()) + "('|\")? [^>]*>)",
                                   boost::regex::perl);
        // The first tag of this picture that is not linked yet.
        std::string content = message->m_content.Str();
        std::string target;
        try {
            for (boost::sregex_iterator it(content.begin(), content.end(), picture), end; it != end; ++it) {
                std::string candidate = (*it)[1].str();
                if (candidate.find(kLinkAlt) == std::string::npos) {
                    target = candidate;
                    break;
                }
            }
        } catch (const std::exception&) {
            target.clear();
        }
        if (target.empty())
            continue;
        std::string linked = target;
        linked.insert(linked.size() - 1, kLinkAlt);
        message->m_content.Replace(CString(target), tavrin::p5460::PhotoLink(id, CString(linked)));
    }
}
