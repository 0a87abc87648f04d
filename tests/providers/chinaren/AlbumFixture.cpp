#include "tests/providers/chinaren/AlbumFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"

#include <algorithm>

namespace tavrin::test {

sim::chinaren::AlbumPhoto Photo(const std::string& id, const std::string& ext)
{
    sim::chinaren::AlbumPhoto p;
    p.id = id;
    p.title = "照片" + id;
    p.ext = ext;
    p.intro = "说明" + id;
    p.clicks = "7";
    return p;
}

sim::chinaren::AlbumComment Comment(const std::string& photoId, const std::string& text)
{
    sim::chinaren::AlbumComment k;
    k.photoId = photoId;
    k.realName = "李四";
    k.text = text;
    return k;
}

ChinaRenAlbumTest::ChinaRenAlbumTest()
{
    SeedUser();
    site.Edit([](sim::chinaren::Data& d) {
        d.users[0].classIds = {"301"};
        sim::chinaren::Class& c = d.AddClass("301");
        c.name = "一班";
        c.schoolName = "第一中学";
    });
    schoolClass = AddClass("301");
    store = static_cast<CPictureStoreChinaRen*>(schoolClass->GetPictureStore());
    SignIn();
    Mark();
}

void ChinaRenAlbumTest::SetAlbum(const std::vector<sim::chinaren::AlbumPhoto>& photos,
                                 const std::vector<sim::chinaren::AlbumComment>& comments)
{
    site.Edit([&](sim::chinaren::Data& d) {
        d.FindClass("301")->album = photos;
        d.FindClass("301")->albumComments = comments;
    });
}

void ChinaRenAlbumTest::AddComments(const std::vector<sim::chinaren::AlbumComment>& comments)
{
    site.Edit([&](sim::chinaren::Data& d) {
        auto& all = d.FindClass("301")->albumComments;
        all.insert(all.end(), comments.begin(), comments.end());
    });
}

std::string ChinaRenAlbumTest::ImageUrl(const sim::chinaren::AlbumPhoto& photo)
{
    return sim::chinaren::AlbumImageUrl("301", photo);
}

void ChinaRenAlbumTest::Publish(const sim::chinaren::AlbumPhoto& photo, const std::string& bytes)
{
    sim.AddFile(ImageUrl(photo), bytes, photo.ext == "gif" ? "image/gif" : "image/jpeg");
}

void ChinaRenAlbumTest::Update(int mode, const std::vector<std::string>& custoIds)
{
    CStringArray ids;
    for (const std::string& id : custoIds)
        ids.Add(id.c_str());
    store->StartUpdate(ids, mode);
    Await([&] { return store->IsUpdating(); });
}

void ChinaRenAlbumTest::Mark()
{
    window.Pump();
    m_postedFrom = window.Codes(WM_CLASS_EVENT, false).size();
    m_sentFrom = window.Codes(WM_CLASS_EVENT, true).size();
    m_logFrom = ClassLog(schoolClass).size();
}

std::vector<int> ChinaRenAlbumTest::Posted()
{
    std::vector<int> out;
    auto codes = window.Codes(WM_CLASS_EVENT, false);
    for (size_t i = m_postedFrom; i < codes.size(); ++i)
        if (codes[i] != 0)
            out.push_back(codes[i]);
    return out;
}

std::vector<int> ChinaRenAlbumTest::Sent()
{
    auto codes = window.Codes(WM_CLASS_EVENT, true);
    return std::vector<int>(codes.begin() + static_cast<std::ptrdiff_t>(std::min(m_sentFrom, codes.size())),
                            codes.end());
}

std::vector<std::string> ChinaRenAlbumTest::NewLog()
{
    auto log = ClassLog(schoolClass);
    return std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(std::min(m_logFrom, log.size())),
                                    log.end());
}

std::string ChinaRenAlbumTest::SavedXml()
{
    return TempDir::Read(dir.Path() / ClassFolder("301") / "picture.xml");
}

std::vector<std::string> ChinaRenAlbumTest::Elements()
{
    std::vector<std::string> out;
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("picture"))
        return out;
    for (const char* name : {"last", "item"}) {
        xml.ResetPos(cursor.GetId());
        cursor.FindChildElem("picture");
        if (!cursor.FindChildElem(name))
            continue;
        do {
            out.push_back(std::string(name) + ":" + cursor.GetAttrib("id").Str() + "/" +
                          cursor.GetAttrib("custo_id").Str());
        } while (std::string(name) == "item" && xml.FindNextElem(TRUE, cursor.GetId()));
    }
    return out;
}

CPictureItemChinaRen ChinaRenAlbumTest::Stored(const std::string& id)
{
    CPictureItemChinaRen item;
    CXmlFile& xml = *store->GetXmlFile();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("picture") && cursor.FindChildElemWithAttrib("item", "id", id.c_str()))
        CPictureItemChinaRen::ReadXml(&item, &cursor);
    return item;
}

std::vector<std::string> ChinaRenAlbumTest::Listed()
{
    std::vector<std::string> out;
    CPictureStore::ItemsLock lock = store->LockItems();
    for (int i = 0; i < store->GetItemCount(); ++i)
        out.push_back(store->GetItem(i)->m_custoId.Str());
    return out;
}

} // namespace tavrin::test
