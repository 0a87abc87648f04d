// The picture store: thumbnails made on load, the photo list, sorting, local
// deletes, the upload queue and the start operations.
#include "core/model/PictureStore.h"

#include "imaging/ImageObj.h"
#include "core/services/XmlText.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace tavrin::test;

namespace {

CString ProgramPath(const fs::path& path)
{
    return tavrin::ProgramPath(path.string());
}

void WriteJpeg(const fs::path& file, DWORD width, DWORD height)
{
    CImageObj image(width, height, 24, IMAGE_TYPE_JPEG);
    ASSERT_TRUE(image.Save(ProgramPath(file), IMAGE_TYPE_JPEG));
}

// Upload sends its bodies through the store's queue; the first body can be
// held until released.
class CUploadingStore : public CPictureStore {
public:
    ~CUploadingStore() override
    {
        firstRelease.Open();
        update.release.Open();
        del.release.Open();
        Close();
    }
    void Upload(CByteArray& form, int) override
    {
        ++uploads;
        CString body(std::string(reinterpret_cast<const char*>(form.GetData()), form.GetSize()));
        RunUploads(body, [this](const CString& next) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                sent.push_back(std::string(next.View()));
                threads.push_back(std::this_thread::get_id());
            }
            if (sent.size() == 1 && holdFirst) {
                firstEntered.Open();
                firstRelease.Wait();
            }
        });
        ++returned;
    }
    void UpdateIndex(CStringArray& ids, int mode) override
    {
        updateIds = ids.GetSize();
        updateMode = mode;
        update.Run();
    }
    void Delete(CStringArray&, int) override { del.Run(); }
    void SendComment(CString first, CString text, CString pictureId, int param) override
    {
        comment = std::string(first) + "|" + std::string(text) + "|" + std::string(pictureId) + "|" +
                  std::to_string(param);
    }
    std::vector<std::string> Sent()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return sent;
    }

    std::mutex mutex;
    std::vector<std::string> sent;
    std::vector<std::thread::id> threads;
    bool holdFirst = false;
    Gate firstEntered, firstRelease;
    std::atomic<int> uploads{0}, returned{0};
    BlockingOperation update, del;
    std::atomic<INT_PTR> updateIds{-1};
    std::atomic<int> updateMode{-1};
    std::string comment;
};

CByteArray Bytes(const std::string& text)
{
    CByteArray bytes;
    for (char c : text)
        bytes.Add(static_cast<BYTE>(c));
    return bytes;
}

class PictureStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(ProgramPath(m_program.Path()));
        tavrin::ReloadConfig();
        m_class = m_dir.Path() / "class";
        fs::create_directories(m_class / "pictures");
    }
    void TearDown() override
    {
        tavrin::SetProgramFolder(CString());
        tavrin::ReloadConfig();
    }

    void Load(CPictureStore& store, BOOL reload = TRUE)
    {
        store.SetClassFolder(ProgramPath(m_class));
        store.LoadItems(reload);
    }

    void WriteIndex()
    {
        m_dir.Write("class/picture.xml",
                    "<picture>\n"
                    "\t<last read=\"1\" custo_id=\"9\" id=\"p9\"/>\n"
                    "\t<item read=\"1\" custo_id=\"3\" id=\"p3\" small_id=\"s3\" status=\"download\">\n"
                    "\t\t<click>9</click>\n\t\t<comment_num>2</comment_num>\n"
                    "\t\t<upload_time>2005-02-03</upload_time>\n"
                    "\t\t<tile>&nbsp;&nbsp;&lt;b&gt;Big&lt;/b&gt;&nbsp;day</tile>\n"
                    "\t\t<upload_user>bob</upload_user>\n\t</item>\n"
                    "\t<item read=\"0\" custo_id=\"2\" id=\"p2\" small_id=\"s2\" status=\"missing\">\n"
                    "\t\t<click>10</click>\n\t\t<comment_num>0</comment_num>\n"
                    "\t\t<upload_time>2005-02-02</upload_time>\n"
                    "\t\t<tile>班级合影</tile>\n\t\t<upload_user>alice</upload_user>\n\t</item>\n"
                    "\t<item read=\"0\" custo_id=\"1\" id=\"p1\" small_id=\"s1\" status=\"download\">\n"
                    "\t\t<click>x</click>\n\t\t<comment_num>11</comment_num>\n"
                    "\t\t<upload_time>2005-02-01</upload_time>\n"
                    "\t\t<tile>apple</tile>\n\t\t<upload_user>carol</upload_user>\n\t</item>\n"
                    "</picture>\n");
    }

    static std::vector<std::string> Ids(CPictureStore& store)
    {
        std::vector<std::string> ids;
        for (int i = 0; i < store.GetItemCount(); ++i)
            ids.push_back(std::string(store.GetItem(i)->m_id));
        return ids;
    }

    TempDir m_program;
    TempDir m_dir;
    fs::path m_class;
};

} // namespace

TEST_F(PictureStoreTest, LoadMakesTheMissingThumbnailsEvenWithoutAnIndex)
{
    WriteJpeg(m_class / "pictures" / "1.jpg", 800, 600);
    WriteJpeg(m_class / "pictures" / "2.jpg", 90, 120);
    CPictureStore store;
    Load(store);
    EXPECT_EQ(store.GetItemCount(), 0);
    EXPECT_TRUE(fs::exists(m_class / "pictures" / "s_1.jpg"));
    EXPECT_FALSE(fs::exists(m_class / "pictures" / "s_2.jpg"));
}

TEST_F(PictureStoreTest, ListsThePhotosOfTheIndex)
{
    WriteIndex();
    CPictureStore store;
    Load(store);
    // Upload time, newest first.
    ASSERT_EQ(Ids(store), (std::vector<std::string>{"p3", "p2", "p1"}));
    CPictureItem* item = store.GetItem(0);
    EXPECT_EQ(item->m_tile, CString("Big day"));  // tags and leading blanks gone
    EXPECT_EQ(item->m_uploadUser, CString("bob"));
    EXPECT_EQ(item->m_uploadTime, CString("2005-02-03"));
    EXPECT_EQ(item->m_click, CString("9"));
    EXPECT_EQ(item->m_commentNum, CString("2"));
    EXPECT_EQ(item->m_custoId, CString("3"));
    EXPECT_EQ(item->m_smallId, CString("s3"));
    EXPECT_EQ(item->m_read, 1);
    EXPECT_EQ(item->m_pinned, 0);
    EXPECT_EQ(store.GetUnreadCount(), 2);
}

TEST_F(PictureStoreTest, SortsByTextOrNumber)
{
    WriteIndex();
    CPictureStore store;
    Load(store);
    struct Case {
        int column;
        BOOL ascending;
        std::vector<std::string> ids;
    };
    const Case cases[] = {
        {3, TRUE, {"p1", "p3", "p2"}},   // clicks: "x" counts 0, "9" before "10"
        {3, FALSE, {"p2", "p3", "p1"}},
        {4, FALSE, {"p1", "p3", "p2"}},  // comments
        {1, TRUE, {"p3", "p1", "p2"}},   // titles by GBK bytes: "Big", "apple", then Chinese
        {2, TRUE, {"p2", "p3", "p1"}},   // uploaders
        {5, TRUE, {"p1", "p2", "p3"}},   // upload time
        {6, FALSE, {"p1", "p2", "p3"}},  // no such column: unchanged
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        store.SortItems(c.column, c.ascending);
        EXPECT_EQ(Ids(store), c.ids);
    }
}

TEST_F(PictureStoreTest, LocalDeleteAndDeleteDuringAProviderDelete)
{
    WriteIndex();
    std::string onDisk = TempDir::Read(m_class / "picture.xml");
    CUploadingStore store;
    Load(store);
    CStringArray ids;
    ids.Add("2");
    store.DeleteItems(ids, TRUE, 0);
    EXPECT_EQ(Ids(store), (std::vector<std::string>{"p3", "p1"}));
    EXPECT_TRUE(store.GetXmlFile()->IsModified());
    EXPECT_EQ(TempDir::Read(m_class / "picture.xml"), onDisk);

    store.del.block = true;
    ids[0] = "3";
    store.DeleteItems(ids, FALSE, 0);
    store.del.entered.Wait();
    store.DeleteItems(ids, TRUE, 0);  // ignored while the provider deletes
    EXPECT_EQ(store.GetItemCount(), 2);
    store.del.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !store.IsBusy(); }));
    EXPECT_EQ(store.del.calls.load(), 1);
}

TEST_F(PictureStoreTest, UploadQueueKeepsWholeBodiesInOrder)
{
    CPictureStore store;
    EXPECT_EQ(store.PopUpload(), CString());
    store.PushUpload("first");
    store.PushUpload(CString(std::string("file\0bytes", 10)));
    EXPECT_EQ(store.PopUpload(), CString("first"));
    CString body = store.PopUpload();
    EXPECT_EQ(body.GetLength(), 10);
    EXPECT_EQ(std::string(body.View()), std::string("file\0bytes", 10));
    EXPECT_EQ(store.PopUpload(), CString());
}

TEST_F(PictureStoreTest, UploadsPostedDuringAnUploadAreSentByIt)
{
    CUploadingStore store;
    store.holdFirst = true;
    store.StartUpload(Bytes("one"), 0);
    store.firstEntered.Wait();
    EXPECT_TRUE(store.IsUploading());
    store.StartUpload(Bytes(std::string("two\0", 4)), 0);  // posted although an upload runs
    ASSERT_TRUE(WaitUntil([&] { return store.returned.load() == 1; }));
    EXPECT_EQ(store.Sent().size(), 1u);  // the second body waits in the queue
    store.firstRelease.Open();
    ASSERT_TRUE(WaitUntil([&] { return store.returned.load() == 2 && !store.IsUploading(); }));
    EXPECT_EQ(store.Sent(), (std::vector<std::string>{"one", std::string("two\0", 4)}));
    EXPECT_EQ(store.threads[0], store.threads[1]);  // one upload sent both
    EXPECT_EQ(store.uploads.load(), 2);
}

TEST_F(PictureStoreTest, StartsPostOnlyWhenTheOperationIsFree)
{
    CUploadingStore store;
    store.update.block = true;
    CStringArray ids;
    ids.Add("4");
    ids.Add("5");
    store.StartUpdate(ids, 2);
    store.update.entered.Wait();
    EXPECT_TRUE(store.IsUpdating());
    store.StartUpdate(CStringArray(), 0);  // refused
    store.update.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !store.IsBusy(); }));
    EXPECT_EQ(store.update.calls.load(), 1);
    EXPECT_EQ(store.updateIds.load(), 2);
    EXPECT_EQ(store.updateMode.load(), 2);

    store.StartComment("", "nice", "p3", 0);
    ASSERT_TRUE(WaitUntil([&] { return !store.IsBusy() && !store.comment.empty(); }));
    EXPECT_EQ(store.comment, "|nice|p3|0");
}

TEST_F(PictureStoreTest, RecordsReadAndWriteTheirElements)
{
    CPictureStore store;
    CXmlFile& xml = *store.GetXmlFile();
    xml.Clear();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    cursor.FindChildElem("picture", TRUE);
    cursor.FindChildElem("item", TRUE);
    CPictureItem item;
    item.m_custoId = "1";
    item.m_id = "p1";
    item.m_tile = "合影";
    item.m_uploadUser = "u";
    item.m_uploadTime = "t";
    item.m_click = "3";
    item.m_commentNum = "4";
    item.m_smallId = "s";
    item.m_status = "not download";
    CPictureItem::WriteXml(&item, &cursor);
    CPictureItem back;
    CPictureItem::ReadXml(&back, &cursor);
    EXPECT_EQ(back.m_tile, item.m_tile);
    EXPECT_EQ(back.m_status, item.m_status);
    EXPECT_EQ(back.m_smallId, item.m_smallId);
    EXPECT_EQ(back.m_click, item.m_click);
    std::string text = tavrin::WriteXmlText(xml.GetNode(cursor.GetId()));
    EXPECT_EQ(text.find("<item read=\"0\" custo_id=\"1\" id=\"p1\" small_id=\"s\" status=\"not&nbsp;download\">"),
              0u)
        << text;
    EXPECT_LT(text.find("<click>"), text.find("<comment_num>"));
    EXPECT_LT(text.find("<comment_num>"), text.find("<upload_time>"));
    EXPECT_LT(text.find("<upload_time>"), text.find("<tile>"));
    EXPECT_LT(text.find("<tile>"), text.find("<upload_user>"));
}

TEST_F(PictureStoreTest, VerificationImageLiesInTheClassFolder)
{
    CPictureStore store;
    store.SetClassFolder("a\\7");
    EXPECT_EQ(store.GetAuthImagePath("x"), CString("a\\7\\auth_picture.gif"));
}
