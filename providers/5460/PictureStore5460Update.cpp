// The photo index update: index pages, each photo's view and comment pages,
// the merge into "picture.xml", and in the details mode the images and the
// comments of stored photos.
#include "providers/5460/PictureStore5460.h"
#include "providers/common/PageScrape.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/HtmlTags.h"
#include "core/services/TextUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "providers/5460/PhotoText.h"
#include "providers/common/NumericId.h"
#include "providers/common/PhotoMerge.h"
#include "providers/common/PictureSteps.h"

#include <boost/regex.hpp>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace {

constexpr boost::regex::flag_type kFlags = boost::regex::perl | boost::regex::icase;

const boost::regex& BlockPattern()
{
    static const boost::regex re(R"re((<a href="\./listuser\.jsp\?userid=[0-9]*" class="style35" target="_blank">.*?<span class="style13">.*?</span>))re", kFlags);
    return re;
}

const boost::regex& FieldPattern()
{
    static const boost::regex re(R"re(<a href="\./listuser\.jsp\?userid=[0-9]*" class="style35" target="_blank">(.*?)</a>.*?点击<font color="red">([0-9]*)</font>次</span>\,评论<font color="red">([0-9]*)</font>条</div>.*?<a href="\./(newpictureview\.jsp\?classID=[0-9]*&PageNum=[0-9]*&picnum=[0-9]*&picid=[0-9]*&orderby=.*?)" target="viewpicture">.*?<img src=".*?/s_([0-9]*)\.jpg".*?<span class="style13">(.*?)</span>)re", kFlags);
    return re;
}

const boost::regex& DetailPattern()
{
    static const boost::regex re(R"re(<div align="center" class="style16">积分 <strong>([0-9]*)</strong>.*?<div align="center" class="style16"> 上传时间 (.*?) </div>.*?<td width="75%" align="left" class="style13"> 　照片说明：(.*?) </div>)re", kFlags);
    return re;
}

const boost::regex& ImagePattern()
{
    static const boost::regex re(R"re(<TD align=middle bgColor=#808080>.*?<img src=(.*?)  alt.*?<iframe .*? src="\./picturePL\.jsp\?picid=([0-9]*)" name="picpl" ></iframe>)re", kFlags);
    return re;
}

const boost::regex& IdPattern()
{
    static const boost::regex re(R"re(<input type="hidden" name="picid" value="([0-9]*)">)re", kFlags);
    return re;
}

const boost::regex& CommentPattern()
{
    static const boost::regex re(R"re(<table width="100%" border="0" cellspacing="0" cellpadding="0">(.*?)</table>)re", kFlags);
    return re;
}

const boost::regex& HeaderPattern()
{
    static const boost::regex re(R"re((<td bgcolor="#96B7C5"><p class="unnamed3" style="line-height: 150%; margin-left: '20'; color: #FFFFFF;">评论内容</td>))re", kFlags);
    return re;
}

// The groups of the first match; empty when there is none (or the
// expression gave up on the text).
std::vector<CString> FirstMatch(const std::string& text, const boost::regex& re)
{
    std::vector<CString> groups;
    try {
        boost::smatch match;
        if (boost::regex_search(text, match, re))
            for (size_t i = 1; i < match.size(); ++i)
                groups.emplace_back(match[i].str());
    } catch (...) {
        groups.clear();
    }
    return groups;
}

// For every match in turn, the text of each of its groups.
std::vector<CString> AllMatches(const std::string& text, const boost::regex& re)
{
    std::vector<CString> pieces;
    try {
        for (boost::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
            for (size_t i = 1; i < it->size(); ++i)
                pieces.emplace_back((*it)[i].str());
    } catch (...) {
        pieces.clear();
    }
    return pieces;
}

int Decimal(const CString& text)
{
    return atoi(text);
}

CString Joined(const std::vector<CString>& pieces)
{
    CString out;
    for (const CString& piece : pieces)
        out += piece;
    return out;
}

void CleanComment(CString& comment)
{
    comment.Remove('\r');
    comment.Remove('\n');
    RemoveHtmlElements(comment, "<a>");
}

} // namespace

struct CPictureStore5460::IndexRun {
    int mode = 0;
    int page = 1;
    bool morePages = true;
    int counter = 0;
    CPictureItem5460 stop;
    CPictureItem5460 work;
    // The photos to store: each is put at the front, so the newest photo of
    // the run ends up last.
    std::deque<CPictureItem5460> collected;
    int newPictures = 0;
    int newComments = 0;
};

void CPictureStore5460::UpdateIndex(CStringArray& ids, int mode)
{
    // The update task holds the busy flag for the whole run.
    Post(28);
    m_newCommentCount = 0;
    m_newPictureCount = 0;
    PrepareHttpClient(&m_updateClient);

    if (mode == 0 || mode == 1 || mode == 2) {
        Log("[照片]开始更新索引...");
        IndexRun run;
        run.mode = mode;
        run.counter = tavrin::HighestPhotoNumber(m_xml);
        if (mode != 1) {
            CXmlCursor cursor(m_xml);
            m_xml.ResetPos(cursor.GetId());
            if (cursor.FindChildElem("picture") && cursor.FindChildElem("last"))
                CPictureItem5460::ReadXml(&run.stop, &cursor);
        }
        ReadIndexPages(run);
        MergeIndex(run, ids);
        if (mode == 2)
            ReadDetails(run, ids);
    }
    Log("[照片]更新完成.");
    Post(7);
}

void CPictureStore5460::ReadIndexPages(IndexRun& run)
{
    CAccount* account = GetAccount();
    CSchoolClass* schoolClass = GetSchoolClass();
    const CString classId = schoolClass ? schoolClass->GetId() : CString();
    auto indexUrl = [&](int page) {
        CString path;
        path.Format("/gy5460/jsp/picture/picture.jsp?classID=%s&viewType=0&PageNum=%d", UrlEncode(classId), page);
        return PageUrl(path);
    };

    run.page = 1;
    run.morePages = true;
    CString url = indexUrl(run.page);
    Log("[照片]开始读取第1页...");
    if (!account || !Login(&m_updateClient)) {
        Log("[照片]登录失败, 无法更新索引");
        return;
    }
    std::vector<CString> previousBlocks;
    while (!m_updateClient.IsStopped() && run.morePages) {
        // A site that never runs out of pages must not keep the worker.
        if (run.page > kMaxIndexPages)
            break;
        CByteArray reply;
        if (!m_updateClient.Request(url, "", reply, ""))
            break;
        if (m_updateClient.IsStopped()) {
            Log("[照片]更新被中断.");
            break;
        }
        std::vector<CString> blocks = AllMatches(tavrin::PageText(reply).Str(), BlockPattern());
        if (blocks.empty())
            break;
        // A site that answers every page number with the same photos has no
        // further pages.
        if (blocks == previousBlocks)
            break;
        for (const CString& block : blocks) {
            if (m_updateClient.IsStopped())
                break;
            if (!ReadPhoto(run, block))
                break;
        }
        if (!run.morePages)
            break;
        previousBlocks = std::move(blocks);
        ++run.page;
        url = indexUrl(run.page);
        CString line;
        line.Format("[照片]开始读取第%d页...", run.page);
        Log(line);
        if (m_updateClient.IsStopped())
            break;
    }
}

// Reads one photo of an index page; false when it is the stop mark.
bool CPictureStore5460::ReadPhoto(IndexRun& run, const CString& block)
{
    std::vector<CString> pieces = AllMatches(block.Str(), FieldPattern());
    if (pieces.size() < 6)
        return true;
    CPictureItem5460& work = run.work;
    work = CPictureItem5460();
    work.m_uploadUser = pieces[0];
    work.m_click = pieces[1];
    const CString viewUrl = PageUrl("/gy5460/jsp/picture/" + pieces[3]);
    work.m_smallId = pieces[4];
    work.m_tile = pieces[5];
    work.m_status = "not download";
    work.m_commentNum = "0";

    CString commentUrl;
    CByteArray reply;
    if (Login(&m_updateClient) && m_updateClient.Request(viewUrl, "", reply, "") && !m_updateClient.IsStopped()) {
        const std::string page = tavrin::PageText(reply).Str();
        std::vector<CString> detail = FirstMatch(page, DetailPattern());
        if (detail.size() == 3) {
            work.m_rank = detail[0];
            work.m_uploadTime = tavrin::p5460::FullUploadTime(detail[1]);
            work.m_description = detail[2];
        }
        std::vector<CString> image = FirstMatch(page, ImagePattern());
        if (image.size() == 2) {
            work.m_url = image[0];
            work.m_commentId = image[1];
            commentUrl = PageUrl("/gy5460/jsp/picture/picturePL.jsp?picid=" + work.m_commentId);
        }
    }

    if (!commentUrl.IsEmpty() && Login(&m_updateClient) && m_updateClient.Request(commentUrl, "", reply, "") &&
        !m_updateClient.IsStopped()) {
        std::string page = tavrin::PageText(reply).Str();
        std::vector<CString> id = FirstMatch(page, IdPattern());
        if (id.empty()) {
            // The session may have ended: sign in afresh and read it once more.
            if (CAccount* account = GetAccount())
                account->SetCookie(CString());
            if (Login(&m_updateClient) && m_updateClient.Request(commentUrl, "", reply, "") &&
                !m_updateClient.IsStopped()) {
                page = tavrin::PageText(reply).Str();
                id = FirstMatch(page, IdPattern());
            }
        }
        if (!id.empty())
            work.m_id = id[0];
        std::vector<CString> comments = AllMatches(page, CommentPattern());
        work.m_commentNum.Format("%d", static_cast<int>(comments.size()));
        work.m_comment = Joined(comments);
        CleanComment(work.m_comment);
    }

    if (!work.m_id.IsEmpty() && tavrin::IdsEqual(work.m_id, run.stop.m_id)) {
        run.morePages = false;
        return false;
    }
    if (work.m_id.IsEmpty())
        return true;
    bool collect = false;
    {
        ItemsLock lock = LockItems();
        CPictureItem* stored = FindItem(work.m_id, CString());
        collect = !stored || Decimal(stored->m_commentNum) < Decimal(work.m_commentNum);
    }
    if (collect)
        run.collected.push_front(work);
    return true;
}

void CPictureStore5460::MergeIndex(IndexRun& run, CStringArray& ids)
{
    Send(18);
    tavrin::PhotoCounts counts;
    tavrin::MergePickedPhotos<CPictureItem5460>(*this, m_xml, run.collected, run.counter, ids, counts);
    run.newPictures = counts.newPictures;
    run.newComments = counts.newComments;
    m_newPictureCount = run.newPictures;
    m_newCommentCount = run.newComments;
    tavrin::SavePicturesIfModified(m_xml);
    LoadItems(TRUE);
    Post(22);
    CString line;
    line.Format("[照片]共有%d张新照片.", run.newPictures);
    Log(line);
    Log("[照片]更新索引完成.");
}

void CPictureStore5460::ReadDetails(IndexRun& run, CStringArray& ids)
{
    tavrin::WalkChosenPhotos<CPictureItem5460>(*this, m_xml, m_updateClient, ids, [&](CPictureItem5460& work) {
        DownloadImage(work);
        CByteArray reply;
        const CString commentUrl = PageUrl("/gy5460/jsp/picture/picturePL.jsp?picid=" + UrlEncode(work.m_commentId));
        if (!Login(&m_updateClient) || !m_updateClient.Request(commentUrl, "", reply, ""))
            return false;
        const std::string page = tavrin::PageText(reply).Str();
        std::vector<CString> comments = AllMatches(page, CommentPattern());
        if (!comments.empty()) {
            work.m_comment = Joined(comments);
            work.m_commentNum.Format("%d", static_cast<int>(comments.size()));
        }
        int headers = static_cast<int>(AllMatches(page, HeaderPattern()).size());
        int stored = Decimal(work.m_commentNum);
        if (headers > stored) {
            work.m_read = 0;
            run.newComments += headers - stored;
            m_newCommentCount = run.newComments;
        }
        CleanComment(work.m_comment);
        return true;
    });
    tavrin::SavePicturesIfModified(m_xml);
    Send(18);
    LoadItems(FALSE);
    Post(22);
}

void CPictureStore5460::DownloadImage(CPictureItem5460& work)
{
    if (work.m_url.IsEmpty()) {
        work.m_status = "missing";
        work.m_fileName.Empty();
        return;
    }
    work.m_fileName = tavrin::p5460::PhotoFileName(work.m_id, work.m_url);
    if (work.m_fileName.IsEmpty()) {
        work.m_status = "missing";
        return;
    }
    const CString folder = GetClassFolder() + "\\pictures";
    const CString path = folder + "\\" + work.m_fileName;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        work.m_status = "download";
        return;
    }
    CString line;
    CByteArray reply;
    bool signedIn = Login(&m_updateClient) != 0;
    // The session cookie goes only to the provider's own hosts.
    if (signedIn && !tavrin::p5460::IsProviderUrl(work.m_url))
        m_updateClient.ClearCookies();
    if (!signedIn || !m_updateClient.Request(work.m_url, "", reply, "")) {
        work.m_status = "missing";
        line.Format("[照片]读取数据失败, 编号%s.", work.m_id);
        Log(line);
        return;
    }
    const int status = m_updateClient.GetStatusCode();
    if (status == 404) {
        work.m_status = "missing";
        line.Format("[照片]数据已丢失, 编号%s.", work.m_id);
        Log(line);
        return;
    }
    if (reply.GetSize() == 0) {
        work.m_status = "not download";
        return;
    }
    // An error page is no image.
    if (status < 200 || status > 299) {
        work.m_status = "missing";
        line.Format("[照片]读取数据失败, 编号%s.", work.m_id);
        Log(line);
        return;
    }
    CreateDirectoryPath(folder);
    if (tavrin::WriteFileAtomic(path, reply.GetData(), static_cast<size_t>(reply.GetSize())))
        work.m_status = "download";
}
