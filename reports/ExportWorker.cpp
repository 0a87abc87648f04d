#include "reports/ExportWorker.h"

#include "core/model/ClassStore.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/CodePage.h"
#include "platform/base/FileApi.h"
#include "platform/base/Path.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/SafeFileName.h"
#include "reports/ReportProgress.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

namespace tavrin::reports {

namespace {

namespace fs = std::filesystem;

const char kMessageStart[] = "<!--留言模板开始-->";
const char kMessageEnd[] = "<!--留言模板结束-->";
const char kSplitStart[] = "<!--留言分割开始-->";
const char kSplitEnd[] = "<!--留言分割结束-->";
const char kListSeparator[] = "`|";

const char kTitleTable[] =
    "<table border=\"0\" align=\"center\" cellpadding=\"1\" cellspacing=\"1\"><tr><td style=\"font-size: "
    "16px;text-decoration: underline; color: #FB4B4B\">%s</td></tr></table>";
const char kNavHead[] =
    "<br><table border=\"0\" align=\"right\" cellpadding=\"1\" cellspacing=\"1\" style=\"color: #0B4BFB\"><tr><td>";
const char kNavTail[] = "</td></tr></table>";

// The three kinds of navigation: the words around a neighbour's title.
struct NavWords {
    const char* before;
    const char* after;
};
const NavWords kMessageNav{"", ""};
const NavWords kPictureNav{"上一张[", "]"};
const NavWords kContactNav{"上一个[", "]"};
const NavWords kPictureNext{"下一张[", "]"};
const NavWords kContactNext{"下一个[", "]"};

struct Neighbour {
    CString title;
    CString file;
};

// A file name in an href: the UTF-8 bytes of the name on disk, percent-encoded
// but for letters, digits and "-_.~".
CString HrefOf(const CString& file)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : GbkToUtf8(file.View())) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
            c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return CString(std::move(out));
}

CString NavTable(const Neighbour& prev, const Neighbour& next, const CString& indexFile, const NavWords& prevWords,
                 const NavWords& nextWords)
{
    CString nav = kNavHead;
    if (!prev.title.IsEmpty())
        nav += FillFormat("<a href=\"%s\">%s%s%s</a>&nbsp;", {HrefOf(prev.file), CString(prevWords.before),
                                                              EscapeHtml(prev.title), CString(prevWords.after)});
    nav += FillFormat("<a href=\"../../%s\">回目录</a>", {HrefOf(indexFile)});
    if (!next.title.IsEmpty())
        nav += FillFormat("&nbsp;<a href=\"%s\">%s%s%s</a>", {HrefOf(next.file), CString(nextWords.before),
                                                              EscapeHtml(next.title), CString(nextWords.after)});
    else if (!prev.title.IsEmpty())
        nav += "&nbsp;";
    return nav + kNavTail;
}

// Before the first "</body>", or at the very start.
void InsertNavigation(CString& page, const CString& nav)
{
    int at = page.Find("</body>");
    page.Insert(at < 0 ? 0 : at, nav);
}

// Right after the body's start tag, attributes or not.
void InsertTitle(CString& page, const CString& title)
{
    int body = page.Find("<body");
    if (body < 0)
        return;
    int end = page.Find('>', body);
    if (end < 0)
        return;
    page.Insert(end + 1, FillFormat(kTitleTable, {EscapeHtml(title)}));
}

void RewriteLinks(CString& page)
{
    page.Replace("../../../", "../");
    MakeClassLinksInert(page);
}

// The head, the message's own part and the tail of a rendered message page.
bool SplitMessagePage(const CString& page, CString& head, CString& body, CString& tail)
{
    int start = page.Find(kMessageStart);
    if (start < 0)
        return false;
    int inner = start + static_cast<int>(sizeof kMessageStart) - 1;
    int end = page.Find(kMessageEnd, inner);
    if (end < 0)
        return false;
    head = page.Left(start);
    body = page.Mid(inner, end - inner);
    tail = page.Mid(end + static_cast<int>(sizeof kMessageEnd) - 1);
    return true;
}

// The first comment inside the split block.
bool FindSeparator(const CString& page, CString& separator)
{
    int start = page.Find(kSplitStart);
    if (start < 0)
        return false;
    int comment = page.Find("<!--", start + static_cast<int>(sizeof kSplitStart) - 1);
    if (comment < 0)
        return false;
    int close = page.Find("-->", comment + 4);
    if (close < 0 || page.Find(kSplitEnd, close + 3) < 0)
        return false;
    separator = page.Mid(comment + 4, close - comment - 4);
    return true;
}

CString JoinList(const std::vector<CString>& entries)
{
    CString out;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i)
            out += kListSeparator;
        // An entry can no longer hold the separator.
        CString entry = entries[i];
        entry.Replace(kListSeparator, "|");
        out += EscapeScriptString(entry);
    }
    return out;
}

// The three blocks of the index template, found in the template as read and
// filled there, so that no search runs over text that holds values.
CString FillIndex(const CString& templ, const std::vector<std::pair<std::pair<const char*, const char*>,
                                                                    std::vector<CString>>>& blocks)
{
    struct Span {
        int begin, end;
        CString filled;
    };
    std::vector<Span> spans;
    for (const auto& [markers, values] : blocks) {
        int start = templ.Find(markers.first);
        if (start < 0)
            continue;
        int inner = start + static_cast<int>(std::string_view(markers.first).size());
        int end = templ.Find(markers.second, inner);
        if (end < 0)
            continue;
        spans.push_back({inner, end, FillFormat(templ.Mid(inner, end - inner), values)});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
    CString out;
    int done = 0;
    for (const Span& span : spans) {
        if (span.begin < done)
            continue;  // overlapping blocks: the first one counts
        out += templ.Mid(done, span.begin - done);
        out += span.filled;
        done = span.end;
    }
    out += templ.Mid(done);
    return out;
}

std::filesystem::path Canonical(const CString& gbkPath)
{
    std::error_code ec;
    std::filesystem::path p = std::filesystem::weakly_canonical(NativePath(gbkPath.View()), ec);
    return ec ? std::filesystem::path() : p;
}

bool IsFolder(const CString& gbkPath)
{
    std::error_code ec;
    return std::filesystem::is_directory(NativePath(gbkPath.View()), ec);
}

// The photo files of the class folder by the ids they belong to: "id.*"
// names the files of photo id. Listed once for the whole album.
std::map<std::string, std::vector<std::string>> PhotoFiles(const CString& classFolder)
{
    std::map<std::string, std::vector<std::string>> files;
    std::error_code ec;
    for (fs::directory_iterator it(NativePath((classFolder + "\\pictures").View()), ec), end; !ec && it != end;
         it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        std::string name = it->path().filename().string();
        for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', dot + 1))
            files[name.substr(0, dot)].push_back(name);
    }
    return files;
}

bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    if (path.empty() || folder.empty())
        return false;
    auto [f, p] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return f == folder.end();
}

// A byte that can end a double-byte character: a lead byte before anything
// else is a byte of its own, so "\x81/" cannot hide a separator.
bool IsGbkTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

class ExportRun {
public:
    ExportRun(const ExportJob& job, ReportProgress& progress) : m_job(job), m_progress(progress) {}

    bool Write(const CString& path, const CString& text)
    {
        if (WriteFileAtomic(path, text.GetString(), static_cast<size_t>(text.GetLength())))
            return true;
        ++m_result.failures;
        return false;
    }
    void Count(BOOL ok)
    {
        if (!ok)
            ++m_result.failures;
    }

    const ExportJob& m_job;
    ReportProgress& m_progress;
    ExportResult m_result;
};

} // namespace

CString ExportFileName(const CString& name)
{
    std::string out;
    std::string_view text = name.View();
    for (size_t i = 0; i < text.size() && out.size() < 100;) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size() && IsGbkTrail(static_cast<unsigned char>(text[i + 1]))) {
            if (out.size() + 2 > 100)
                break;
            out.append(text.substr(i, 2));
            i += 2;
            continue;
        }
        bool bad = c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) !=
                                                 std::string_view::npos || c >= 0x80;
        out += bad ? '_' : static_cast<char>(c);
        ++i;
    }
    if (out.empty() || out == "." || out == "..")
        out = "_";
    return CString(std::move(out));
}

void MakeClassLinksInert(CString& page)
{
    static const std::string open = "\\\"tavrin:点击查看";
    std::string_view text = page.View();
    std::string out;
    size_t done = 0, from = 0;
    while (true) {
        size_t at = text.find(open, from);
        if (at == std::string_view::npos)
            break;
        // Only a whole character may start the match.
        size_t p = done;
        while (p < at)
            p += (IsLeadByte(static_cast<unsigned char>(text[p])) && p + 1 < text.size()) ? 2 : 1;
        if (p != at) {
            from = at + 1;
            continue;
        }
        size_t i = at + open.size();
        bool ok = false;
        while (i < text.size()) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (IsLeadByte(c) && i + 1 < text.size()) {
                i += 2;
                continue;
            }
            if (c == '\\') {
                ok = i + 1 < text.size() && text[i + 1] == '"';
                break;
            }
            if (c == '"' || c == '<' || c == '>' || c == '\n' || c == '\r')
                break;
            ++i;
        }
        if (!ok) {
            from = at + open.size();
            continue;
        }
        out.append(text.substr(done, at - done));
        out += "\\\"#\\\"";
        done = from = i + 2;
    }
    if (done == 0)
        return;
    out.append(text.substr(done));
    page = CString(std::move(out));
}

CString ExportDoneText(const ExportResult& result, int skippedMessages)
{
    if (result.failures == 0 && skippedMessages == 0)
        return "导出数据完成！马上打开查看吗？";
    CString text = "导出数据结束";
    CString part;
    if (result.failures > 0) {
        part.Format("，%d 项未能写出或复制", result.failures);
        text += part;
    }
    if (skippedMessages > 0) {
        part.Format("，%d 条留言的时间无效未能分页导出", skippedMessages);
        text += part;
    }
    return text + "。马上打开查看吗？";
}

ExportResult RunExport(const ExportJob& job, CClassStore* messages, CClassStore* pictures, CClassStore* contacts,
                       ReportProgress& progress)
{
    ExportRun run(job, progress);
    ExportResult& result = run.m_result;

    // The export folder and the index file's name.
    int slash = std::max(job.indexPath.ReverseFind('\\'), job.indexPath.ReverseFind('/'));
    CString folder = slash < 0 ? CString(".") : job.indexPath.Left(slash);
    CString indexFile = job.indexPath.Mid(slash + 1);
    // The tree copies would copy into themselves.
    std::filesystem::path target = Canonical(folder);
    if (IsInside(target, Canonical(job.appDir + "\\styles")) ||
        IsInside(target, Canonical(job.classFolder + "\\images"))) {
        result.refused = true;
        return result;
    }

    progress.SetPos(0);
    progress.SetStatus("留言");
    const CString exportFolder = folder + "\\tavrin_export";
    const CString messageFolder = exportFolder + "\\messages";
    const CString pictureFolder = exportFolder + "\\pictures";
    const CString contactFolder = exportFolder + "\\contacts";
    for (const CString& f : {messageFolder, pictureFolder, contactFolder})
        run.Count(CreateDirectoryPath(f));

    CString templ;
    if (!ReadTemplateFile(job.appDir + "\\styles\\common\\export.htm", templ))
        ++result.failures;

    // Message pages.
    std::vector<CString> titles, files;
    CString range;
    int position = 0;
    const std::vector<ExportPage>& pages = job.plan.pages;
    for (size_t p = 0; p < pages.size(); ++p) {
        const ExportPage& page = pages[p];
        CString body, separator, head, tail;
        bool haveSeparator = false;
        for (const CString& custoId : page.custoIds) {
            CString rendered = messages ? messages->RenderPage(custoId) : CString();
            if (!haveSeparator)
                haveSeparator = FindSeparator(rendered, separator);
            CString h, b, t;
            if (SplitMessagePage(rendered, h, b, t)) {
                if (!body.IsEmpty())
                    body += separator;
                body += b;
                head = h;
                tail = t;
            }
            progress.SetPos(++position);
        }
        CString text = head + body + tail;
        RewriteLinks(text);
        InsertTitle(text, page.title);
        Neighbour prev, next;
        if (p > 0)
            prev = {pages[p - 1].title, ExportFileName(pages[p - 1].title) + ".htm"};
        if (p + 1 < pages.size())
            next = {pages[p + 1].title, ExportFileName(pages[p + 1].title) + ".htm"};
        else if (p > 0)
            range += " - " + page.title;
        InsertNavigation(text, NavTable(prev, next, indexFile, kMessageNav, kMessageNav));
        CString file = ExportFileName(page.title) + ".htm";
        run.Write(messageFolder + "\\" + file, text);
        if (p == 0)
            range = page.title + range;
        titles.push_back(page.title);
        files.push_back(file);
    }
    run.Count(CopyFolderTree(job.appDir + "\\styles", exportFolder + "\\styles"));
    // A class without pictures in its messages has no images folder.
    if (!job.classFolder.IsEmpty() && IsFolder(job.classFolder + "\\images"))
        run.Count(CopyFolderTree(job.classFolder + "\\images", messageFolder + "\\images"));

    // Photo and contact pages, each with links to its neighbours.
    std::map<std::string, std::vector<std::string>> albumFiles;
    bool photoFolderMade = false;
    auto recordPages = [&](const std::vector<ExportRecord>& records, CClassStore* store, bool photos,
                           std::vector<CString>& names, std::vector<CString>& recordFiles) {
        progress.SetRange(static_cast<int>(records.size()));
        progress.SetPos(0);
        progress.SetStatus(photos ? "相册" : "通讯录");
        auto nameOf = [&](const ExportRecord& r) {
            return photos || !r.title.IsEmpty() ? r.title : CString("[无名氏]");
        };
        auto fileOf = [&](const ExportRecord& r) {
            return photos ? SafeFileName(r.id + ".htm") : ExportFileName(nameOf(r)) + ".htm";
        };
        Neighbour prev;
        for (size_t i = 0; i < records.size(); ++i) {
            const ExportRecord& r = records[i];
            CString text = !store ? CString() : photos ? store->RenderDetailPage(r.custoId, 800)
                                                       : store->RenderPage(r.custoId);
            progress.SetPos(static_cast<int>(i + 1));
            RewriteLinks(text);
            Neighbour next;
            if (i + 1 < records.size())
                next = {nameOf(records[i + 1]), fileOf(records[i + 1])};
            InsertNavigation(text, NavTable(prev, next, indexFile, photos ? kPictureNav : kContactNav,
                                            photos ? kPictureNext : kContactNext));
            CString file = fileOf(r);
            run.Write((photos ? pictureFolder : contactFolder) + "\\" + file, text);
            names.push_back(nameOf(r));
            recordFiles.push_back(file);
            prev = {nameOf(r), file};
            // A photo's own files, for an id that can name them.
            if (photos && !r.id.IsEmpty() && SafeFileName(r.id) == r.id) {
                auto found = albumFiles.find(r.id.Str());
                if (found == albumFiles.end())
                    continue;
                if (!photoFolderMade)
                    run.Count(photoFolderMade = CreateDirectoryPath(pictureFolder + "\\pictures"));
                for (const std::string& name : found->second)
                    run.Count(::CopyFileA(job.classFolder + "\\pictures\\" + name.c_str(),
                                          pictureFolder + "\\pictures\\" + name.c_str(), FALSE));
            }
        }
    };
    std::vector<CString> photoTitles, photoFiles, contactNames, contactFiles;
    if (job.album && !job.classFolder.IsEmpty())
        albumFiles = PhotoFiles(job.classFolder);
    if (job.album)
        recordPages(job.photos, pictures, true, photoTitles, photoFiles);
    if (job.contacts)
        recordPages(job.people, contacts, false, contactNames, contactFiles);

    CString index = FillIndex(
        templ, {{{"<!--留言导出变量赋值开始-->", "<!--留言导出变量赋值结束-->"},
                 {EscapeScriptString(job.classLabel), EscapeScriptString(range), JoinList(titles), JoinList(files)}},
                {{"<!--照片导出变量赋值开始-->", "<!--照片导出变量赋值结束-->"},
                 {JoinList(photoTitles), JoinList(photoFiles)}},
                {{"<!--通讯录导出变量赋值开始-->", "<!--通讯录导出变量赋值结束-->"},
                 {JoinList(contactNames), JoinList(contactFiles)}}});
    run.Write(job.indexPath, index);
    return result;
}

} // namespace tavrin::reports
