#include "providers/common/MessagePictures.h"

#include "core/services/FolderUtil.h"
#include "core/services/HttpClient.h"
#include "platform/base/FileApi.h"
#include "providers/common/PageScrape.h"
#include "providers/common/PictureFetch.h"
#include "providers/common/SafeFileName.h"

namespace tavrin {

namespace {

const char kTagPattern[] = "(<img[^>]* src=[^>\\s]* [^>]*>)";
const char kAddressPattern[] = "<img[^>]* src=('|\")?(http://[^>\\s]*)('|\")? [^>]*>";
// A picture tag with its source, for finding the tags of one local picture.
const char kLocalTagPattern[] = "<img[^>]* src=('|\")?([^'\">\\s]*)('|\")? [^>]*>";
const char kPhotoLinkStart[] = "tavrin:点击查看编号[";
const char kPhotoLinkEnd[] = "]的照片";
const char kLinkAlt[] = " alt=\"点击查看原图\"";

// The picture address of a tag: group 2 without the closing quote of
// either kind, empty when the tag has none.
CString AddressOf(const CString& tag)
{
    std::vector<CString> groups;
    if (!SearchFirst(tag, kAddressPattern, Case::Insensitive, groups))
        return CString();
    CString address = groups[2];
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

bool FileExists(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CString PhotoLink(const CString& photoId, const CString& tag)
{
    return CString("<a href=\"") + kPhotoLinkStart + photoId + kPhotoLinkEnd + "\">" + tag + "</a>";
}

bool IsPhotoLinkAddress(std::string_view href)
{
    const std::string_view start = kPhotoLinkStart;
    const std::string_view end = kPhotoLinkEnd;
    if (href.size() <= start.size() + end.size() || href.substr(0, start.size()) != start ||
        href.substr(href.size() - end.size()) != end)
        return false;
    const std::string_view id = href.substr(start.size(), href.size() - start.size() - end.size());
    for (char c : id)
        if (c < '0' || c > '9')
            return false;
    return true;
}

NoticeLinks ReadNoticeLinks(const CString& raw, const char* linkPattern)
{
    NoticeLinks links;
    for (const CString& link : AllMatches(raw, linkPattern, Case::Sensitive)) {
        std::vector<CString> groups;
        if (!SearchFirst(link, linkPattern, Case::Sensitive, groups) || groups.size() < 3)
            continue;
        links.ids.push_back(groups[1]);
        for (const CString& tag : AllMatches(groups[2], kTagPattern, Case::Insensitive)) {
            const CString address = AddressOf(tag);
            if (!address.IsEmpty())
                links.byAddress.emplace(address.Str(), groups[1]);
        }
    }
    return links;
}

void LocalizeMessagePictures(CString& content, CHttpClient& client, const PictureSite& site,
                             const NoticeLinks* notice)
{
    const std::vector<CString> tags = AllMatches(content, kTagPattern, Case::Insensitive);
    for (const CString& tag : tags) {
        if (client.IsStopped())
            break;
        const CString address = AddressOf(tag);
        if (address.IsEmpty())
            continue;
        const CString remoteName = address.Mid(address.ReverseFind('/') + 1);
        const CString fileName = SafeFileName(remoteName);
        CString reference = "images/" + fileName;
        if (!FileExists(site.folder + "\\" + fileName)) {
            // Another host never sees the session cookie; only a picture is
            // stored, an error page never becomes one.
            const PictureFetch fetched = FetchPicture(client, address, site.providerUrl, site.folder, fileName);
            // A stopped fetch leaves the address for the next update.
            if (fetched == PictureFetch::Stopped)
                break;
            if (fetched == PictureFetch::Failed)
                reference = site.missingPicture;
        }
        content.Replace(address, reference);

        if (!notice)
            continue;
        CString id;
        auto own = notice->byAddress.find(address.Str());
        if (own != notice->byAddress.end()) {
            id = own->second;
        } else {
            int dot = remoteName.ReverseFind('.');
            id = dot >= 0 ? remoteName.Left(dot) : remoteName;
            if (id.Left(2) == "s_")
                id = id.Mid(2);
            if (!IsDigits(id) && notice->ids.size() == 1)
                id = notice->ids.front();
        }
        if (!IsDigits(id))
            continue;
        // The first tag of this picture that is not linked yet.
        CString target;
        for (const CString& candidate : AllMatches(content, kLocalTagPattern, Case::Sensitive)) {
            std::vector<CString> groups;
            if (SearchFirst(candidate, kLocalTagPattern, Case::Sensitive, groups) && groups[2] == reference &&
                candidate.Find(kLinkAlt) < 0) {
                target = candidate;
                break;
            }
        }
        if (target.IsEmpty())
            continue;
        CString linked = target;
        linked.Insert(linked.GetLength() - 1, kLinkAlt);
        content.Replace(target, PhotoLink(id, linked));
    }
}

} // namespace tavrin
