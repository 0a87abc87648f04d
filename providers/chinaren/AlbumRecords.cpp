#include "providers/chinaren/AlbumRecords.h"

#include "platform/base/Time.h"
#include "providers/chinaren/PictureStoreChinaRen.h"
#include "providers/chinaren/site.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/NumericId.h"
#include "providers/common/PageScrape.h"
#include "providers/common/ProviderUrl.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin::chinaren {

namespace {

const char kRecord[] = "(pl\\[\"[0-9]*\"\\]=.*?;$)";
const char kFields[] = "pl\\[\"([0-9]*)\"\\]=\"HOST(.*?)`@\\^USID(.*?)`@\\^REAL(.*?)`@\\^FNAM(.*?)`@\\^FEXT(.*?)"
                       "`@\\^FLSZ(.*?)`@\\^IMSZ(.*?)`@\\^CRTM(.*?)`@\\^INTR(.*?)`@\\^PURL(.*?)`@\\^CLIK(.*?)"
                       "`@\\^CMNM(.*?)`@\\^CMDB(.*?)`@\\^STAT(.*?)`@\\^COL(.*?)`@\\^COL(.*?)\";";
const char kCommentAssignment[] = "(cl\\[\"([0-9]*)`@\\^[0-9]*\"\\]=\".*?\";)";
const char kCommentFields[] = "cl\\[\"[0-9]*`@\\^([0-9]*)\"\\]=\"USID(.*?)`@\\^REAL(.*?)`@\\^CRTM(.*?)`@\\^MESG(.*?)\";";
const char kSrc[] = "src=\"(.*?)\"";

bool IsDigits(const CString& text)
{
    return IsNumericId(text);
}

bool IsExtension(const CString& text)
{
    const std::string s = text.Str();
    if (s.empty() || s.size() > 8)
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// The tip script's address as a pattern, both image hosts in group 1.
std::string TipPattern()
{
    return "http://(" + RegexLiteral(kImageHost) + "|" + RegexLiteral(kSohuImageHost) +
           ")/product/tavrin3/tavrin_tip\\.js></script>";
}

// The id of a record text ("pl[\"123\"]=...").
CString RecordId(const CString& record)
{
    const int end = record.Find("\"]");
    return end > 4 ? record.Mid(4, end - 4) : CString();
}

} // namespace

void FindAlbumScripts(const CString& page, CString& dataUrl, CString& commentsUrl)
{
    dataUrl.Empty();
    commentsUrl.Empty();
    const std::string pattern = TipPattern() + "(.*?)<script language=Javascript src=\"http://" +
                                RegexLiteral(kAlbumDataHost) + "/classpic_.*?\\.js";
    std::vector<CString> groups;
    if (!SearchFirst(page, pattern.c_str(), Case::Insensitive, groups) || groups.size() < 3)
        return;
    std::vector<CString> found;
    for (const CString& src : AllMatches(groups[2], kSrc, Case::Insensitive))
        found.push_back(FirstGroup(src, kSrc, Case::Insensitive));
    if (!found.empty())
        dataUrl = found[0];
    if (found.size() > 1)
        commentsUrl = found[1];
}

CString FindReloadDataScript(const CString& page)
{
    const std::string pattern = TipPattern() + "(.*?)<script>location\\.reload\\(\\);</script>";
    std::vector<CString> groups;
    if (!SearchFirst(page, pattern.c_str(), Case::Insensitive, groups) || groups.size() < 3)
        return CString();
    return FirstGroup(groups[2], kSrc, Case::Insensitive);
}

bool HoldsPhotoRecord(const CString& script, const CString& photoId)
{
    return script.Find("pl[\"" + photoId + "\"]") >= 0;
}

bool IsAlbumPhotoUrl(const CString& url)
{
    if (IsChinaRenUrl(url))
        return true;
    // The host as the naive reading gives it; the shared check then decides.
    const std::string text = url.Str();
    if (text.size() < 7 || CString(text.substr(0, 7).c_str()).CompareNoCase("http://") != 0)
        return false;
    const size_t end = text.find_first_of("/?#:", 7);
    std::string host = text.substr(7, end == std::string::npos ? std::string::npos : end - 7);
    for (char& c : host)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    const size_t dot = host.find('.');
    if (dot == std::string::npos || host.compare(0, 5, "photo") != 0 || dot == 5)
        return false;
    CString numbered;
    numbered.Format(kAlbumImageHostFormat, CString(host.substr(5, dot - 5).c_str()));
    return IsDigits(CString(host.substr(5, dot - 5).c_str())) && numbered.Str() == host &&
           IsProviderUrl(url, {host.c_str()});
}

std::vector<CString> PhotoRecords(const CString& script)
{
    std::vector<CString> found = AllMatches(script, kRecord, Case::Insensitive);
    // The site's ids grow: highest first is newest first. Each id is taken
    // out once, not at every comparison.
    std::vector<std::pair<CString, size_t>> keys;
    keys.reserve(found.size());
    for (size_t i = 0; i < found.size(); ++i)
        keys.emplace_back(RecordId(found[i]), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return CompareIds(a.first, b.first) > 0; });
    std::vector<CString> records;
    records.reserve(found.size());
    for (const auto& key : keys)
        records.push_back(std::move(found[key.second]));
    return records;
}

CString RecordTime(const CString& crtm)
{
    const int length = crtm.GetLength();
    const CString seconds = length > 3 ? crtm.Left(length - 3) : CString();
    const CTime time(static_cast<time_t>(std::atoll(seconds)));
    return time.Format("%Y-%m-%d %H:%M");
}

bool IsPhotoFileName(const CString& name)
{
    const int dot = name.Find('.');
    return dot > 0 && IsDigits(name.Left(dot)) && IsExtension(name.Mid(dot + 1));
}

CString PhotoImageUrl(const CString& host, const CString& purl, const CString& extension, const CString& photoId,
                      const CString& classId)
{
    if (host == "-1")
        return purl;
    const CString digits = classId.GetLength() >= 11 ? classId.Right(8) : classId;
    const long long n = std::atoll(digits);
    CString hostName;
    hostName.Format(kAlbumImageHostFormat, host);
    CString url;
    url.Format("http://%s/album/pic/%lld/%lld/%s/%s.%s", hostName, n % 1000, (n / 1000) % 1000, classId, photoId,
               extension);
    return url;
}

bool ReadPhotoRecord(const CString& record, const CString& classId, CPictureItemChinaRen& item)
{
    std::vector<CString> g;
    if (!SearchFirst(record, kFields, Case::Sensitive, g) || g.size() < 18)
        return false;
    const CString& host = g[2];
    // The id names a file and the HOST a server: nothing else gets through.
    // The fields must be the record's own: a record that runs on into the
    // next line would otherwise be read, and sorted, as another photo.
    if (!IsDigits(g[1]) || g[1] != RecordId(record) || !IsExtension(g[6]) || (host != "-1" && !IsDigits(host)))
        return false;
    item.m_tile = g[5];
    item.m_uploadUser = g[4];
    item.m_click = g[12];
    item.m_uploadTime = RecordTime(g[9]);
    item.m_fileSize = g[7];
    item.m_originalSize = g[8];
    item.m_description = g[10];
    item.m_id = g[1];
    item.m_fileName = g[1] + "." + g[6];
    item.m_status = "not download";
    item.m_comment.Empty();
    item.m_commentNum = "0";
    item.m_url = PhotoImageUrl(host, g[11], g[6], g[1], classId);
    return true;
}

AlbumComments::AlbumComments(const CString& script)
{
    for (const CString& assignment : AllMatches(script, kCommentAssignment, Case::Insensitive))
        m_byPhoto[FirstGroup(assignment, "cl\\[\"([0-9]*)`", Case::Insensitive).Str()].push_back(assignment);
}

bool AlbumComments::Find(const CString& photoId, CString& count, CString& html) const
{
    auto it = m_byPhoto.find(photoId.Str());
    if (it == m_byPhoto.end())
        return false;
    count.Format("%d", static_cast<int>(it->second.size()));
    html = "<table width=670 border=0 cellspacing=0 cellpadding=2>";
    for (const CString& assignment : it->second) {
        std::vector<CString> g;
        if (!SearchFirst(assignment, kCommentFields, Case::Insensitive, g) || g.size() < 6)
            continue;
        html += "<tr><td bgcolor=#EBEADF class=a3>&nbsp;<img src=../../../styles/chinaren/default/images/jdd03.gif "
                "width=4 height=8 border=0>&nbsp;<a class=cla2>";
        html += SanitizeHtml(g[3]);
        html += "</a> 于 " + RecordTime(g[4]) + " 留言 </td></tr>";
        html += "<tr><td width=670 class=a2 style='word-wrap: break-word;'>&nbsp;&nbsp;";
        html += SanitizeHtml(g[5]);
        html += "</td></tr>";
    }
    html += "</table>";
    return true;
}

} // namespace tavrin::chinaren
