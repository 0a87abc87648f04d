#include "tests/providers/5460/PhotoFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlCursor.h"
#include "imaging/ImageObj.h"

#include <algorithm>
#include <thread>
#include <time.h>

namespace tavrin::test {

namespace {

double Seconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::pair<int, int> PictureSize(const std::string& path)
{
    CImageObj image;
    if (!image.Load(path.c_str()))
        return {0, 0};
    return {static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight())};
}

sim::Photo MakePhoto(int n, int comments)
{
    sim::Photo p;
    p.id = std::to_string(n);
    p.commentId = std::to_string(n + 500);
    p.title = "照片" + std::to_string(n);
    p.uploadUser = "李四";
    p.uploadUserId = "42";
    p.uploadTime = "05-12-31 10:20";
    p.click = std::to_string(n * 3);
    p.description = "说明" + std::to_string(n);
    p.rank = "7";
    p.imageUrl = "http://image.5460.net/photo/" + p.commentId + ".jpg";
    for (int i = 0; i < comments; ++i)
        p.comments.push_back({"王五", "43", "2006-01-0" + std::to_string(i % 9 + 1), "评论" + std::to_string(i)});
    return p;
}

std::map<std::string, std::string> ScriptValues(const CString& page)
{
    std::map<std::string, std::string> values;
    const std::string& text = page.Str();
    size_t p = 0;
    while ((p = text.find("var ", p)) != std::string::npos) {
        size_t eq = text.find(" = \"", p);
        size_t lineEnd = text.find('\n', p);
        if (eq == std::string::npos || eq > lineEnd) {
            p += 4;
            continue;
        }
        std::string name = text.substr(p + 4, eq - p - 4);
        std::string value;
        size_t i = eq + 4;
        for (; i < text.size() && text[i] != '"'; ++i) {
            if (text[i] != '\\' || i + 1 >= text.size()) {
                value += text[i];
                continue;
            }
            char c = text[++i];
            switch (c) {
            case 'n': value += '\n'; break;
            case 'r': value += '\r'; break;
            case 't': value += '\t'; break;
            case 'x':
                if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
                    value += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
                    i += 2;
                }
                break;
            default: value += c; break;
            }
        }
        values.emplace(name, value);
        p = i;
    }
    return values;
}

PhotoTest::PhotoTest()
{
    SeedUser();
    schoolClass = AddClass("301");
    store = Photos(schoolClass);
}

CPictureStore5460* PhotoTest::Photos(CSchoolClass* schoolClass)
{
    return static_cast<CPictureStore5460*>(schoolClass->GetPictureStore());
}

void PhotoTest::SeedPhotos(const std::vector<sim::Photo>& photos, int perPage)
{
    sim.Edit([&](sim::Scenario& s) {
        s.Class("301").photos = photos;
        s.Class("301").photosPerPage = perPage;
    });
    for (const sim::Photo& p : photos)
        sim.AddFile(p.imageUrl, JpegBytes(64, 48), "image/jpeg");
}

bool PhotoTest::PumpUntil(const std::function<bool()>& done)
{
    const double limit = Seconds() + 60;
    for (;;) {
        window.Pump();
        if (done())
            return true;
        if (Seconds() > limit)
            return false;
        std::this_thread::yield();
    }
}

void PhotoTest::Update(int mode, const std::vector<std::string>& ids)
{
    CStringArray list;
    for (const std::string& id : ids)
        list.Add(CString(id));
    const int before = PostedCount(7);
    store->StartUpdate(list, mode);
    ASSERT_TRUE(PumpUntil([&] { return PostedCount(7) > before && !store->IsBusy(); }));
}

std::vector<int> PhotoTest::Posted()
{
    std::vector<int> out;
    for (int code : window.Codes(WM_CLASS_EVENT, false))
        if (code != 0)
            out.push_back(code);
    return out;
}

std::vector<int> PhotoTest::Sent()
{
    return window.Codes(WM_CLASS_EVENT, true);
}

int PhotoTest::PostedCount(int code)
{
    std::vector<int> codes = window.Codes(WM_CLASS_EVENT, false);
    return static_cast<int>(std::count(codes.begin(), codes.end(), code));
}

std::vector<StoredPhoto> PhotoTest::Document()
{
    std::vector<StoredPhoto> out;
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("picture"))
        return out;
    for (const char* tag : {"last", "item"}) {
        xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("picture");
        if (!cursor.FindChildElem(tag))
            continue;
        do {
            StoredPhoto p;
            p.tag = tag;
            p.custoId = cursor.GetAttrib("custo_id").Str();
            p.id = cursor.GetAttrib("id").Str();
            p.read = cursor.GetAttrib("read").Str();
            p.smallId = cursor.GetAttrib("small_id").Str();
            p.status = cursor.GetAttrib("status").Str();
            p.click = cursor.GetChildData("click").Str();
            p.commentNum = cursor.GetChildData("comment_num").Str();
            p.uploadTime = cursor.GetChildData("upload_time").Str();
            p.title = cursor.GetChildData("tile").Str();
            p.uploadUser = cursor.GetChildData("upload_user").Str();
            p.comment = cursor.GetChildData("comment").Str();
            p.commentId = cursor.GetChildData("comment_id").Str();
            p.description = cursor.GetChildData("description").Str();
            p.fileName = cursor.GetChildData("file_name").Str();
            p.url = cursor.GetChildData("url").Str();
            p.rank = cursor.GetChildData("rank").Str();
            out.push_back(p);
        } while (xml.FindNextElem(TRUE, cursor.GetId()));
    }
    return out;
}

void PhotoTest::StorePhotos(const std::vector<StoredPhoto>& photos)
{
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    for (auto it = photos.rbegin(); it != photos.rend(); ++it) {
        xml.ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("picture", TRUE));
        cursor.InsertChildElemBefore("item", "item");
        ASSERT_TRUE(cursor.FindChildElem("item"));
        CPictureItem5460 item;
        item.m_custoId = it->custoId.c_str();
        item.m_id = it->id.c_str();
        item.m_read = atoi(it->read.c_str());
        item.m_smallId = it->smallId.c_str();
        item.m_status = it->status.c_str();
        item.m_click = it->click.c_str();
        item.m_commentNum = it->commentNum.c_str();
        item.m_uploadTime = it->uploadTime.c_str();
        item.m_tile = it->title.c_str();
        item.m_uploadUser = it->uploadUser.c_str();
        item.m_comment = it->comment.c_str();
        item.m_commentId = it->commentId.c_str();
        item.m_description = it->description.c_str();
        item.m_fileName = it->fileName.c_str();
        item.m_url = it->url.c_str();
        item.m_rank = it->rank.c_str();
        CPictureItem5460::WriteXml(&item, &cursor);
    }
    store->LoadItems(FALSE);
}

bool PhotoTest::Logged(const std::string& line)
{
    auto log = ClassLog(schoolClass);
    return std::find(log.begin(), log.end(), line) != log.end();
}

} // namespace tavrin::test
