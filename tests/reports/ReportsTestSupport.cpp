#include "tests/reports/ReportsTestSupport.h"

#include "platform/base/Path.h"
#include "platform/controls/CommCtrl.h"
#include "platform/display/WebKitEngine.h"
#include "tests/support/DisplayPump.h"
#include "providers/common/Escape.h"

#include <fstream>

namespace tavrin::test {

namespace {

template <typename Item>
Item* FindByCustoId(CClassStore* store, const CString& custoId)
{
    auto lock = store->LockItems();
    for (int i = 0; i < store->GetItemCount(); ++i) {
        auto* item = dynamic_cast<Item*>(store->GetItem(i));
        if (item && item->m_custoId == custoId)
            return item;
    }
    return nullptr;
}

} // namespace

CString CReportMessageStore::RenderPage(CString custoId)
{
    auto lock = LockItems();
    CMessageItem* item = FindByCustoId<CMessageItem>(this, custoId);
    if (!item)
        return CString();
    if (render)
        return render(*item);
    return "<html><head><link href=\"../../../styles/5460/default/message.css\"></head><body>"
           "<!--留言分割开始--><!--<hr>--><!--留言分割结束-->"
           "<!--留言模板开始--><div class=\"m\">" +
           EscapeHtml(item->m_title) + "</div><!--留言模板结束--></body></html>";
}

CString CReportPictureStore::RenderDetailPage(CString custoId, int width)
{
    auto lock = LockItems();
    CPictureItem* item = FindByCustoId<CPictureItem>(this, custoId);
    if (!item)
        return CString();
    CString page;
    page.Format("<html><body><img src=\"pictures\\%s.jpg\" width=\"%d\"><p>", item->m_id.GetString(), width);
    return page + EscapeHtml(item->m_tile) + "</p></body></html>";
}

CString CReportContactStore::RenderPage(CString custoId)
{
    auto lock = LockItems();
    CContactItem* item = FindByCustoId<CContactItem>(this, custoId);
    if (!item)
        return CString();
    return "<html><body><p>" + EscapeHtml(item->m_realName) + "</p></body></html>";
}

std::string RunPageScript(HWND host, const std::string& utf8Script)
{
    bool done = false;
    std::string result;
    browser::RunWebKitScript(host, utf8Script, [&](const std::string& r) {
        result = r;
        done = true;
    });
    PumpUntil([&] { return done; });
    return result;
}

CReportClass::CReportClass()
{
    m_messageStore = new CReportMessageStore;
    m_pictureStore = new CReportPictureStore;
    m_contactStore = new CReportContactStore;
    m_messageStore->SetSchoolClass(this);
    m_pictureStore->SetSchoolClass(this);
    m_contactStore->SetSchoolClass(this);
}

CReportClass::~CReportClass() { TearDown(); }

void ReportsFixture::SetUp()
{
    ::InitCommonControls();
    std::filesystem::create_directories(ClassFolder());
    std::filesystem::create_directories(AppFolder() / "styles");
    std::filesystem::copy(std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles", AppFolder() / "styles",
                          std::filesystem::copy_options::recursive);
    tavrin::SetProgramFolder(CString(AppFolder().string().c_str()));
    m_account.SetDataFolder(CString((AppFolder() / "accounts" / "acct").string().c_str()));
    m_class.SetAccount(&m_account);
    m_class.SetId("class1");
    m_class.SetName("三班");
    m_class.SetSchoolName("第一中学");
}

void ReportsFixture::TearDown()
{
    m_class.SetAccount(nullptr);
    tavrin::SetProgramFolder(CString());
}

void ReportsFixture::AddMessage(const std::string& user, const std::string& time, const std::string& title)
{
    auto* item = new CMessageItem;
    item->m_custoId.Format("%d", m_nextCustoId++);
    item->m_id = item->m_custoId;
    item->m_user = user.c_str();
    item->m_time = time.c_str();
    item->m_title = title.c_str();
    m_class.GetMessageStore()->AddItem(item);
}

void ReportsFixture::AddPicture(const std::string& id, const std::string& title)
{
    auto* item = new CPictureItem;
    item->m_custoId.Format("%d", m_nextCustoId++);
    item->m_id = id.c_str();
    item->m_tile = title.c_str();
    m_class.GetPictureStore()->AddItem(item);
}

void ReportsFixture::AddContact(const std::string& realName)
{
    auto* item = new CContactItem;
    item->m_custoId.Format("%d", m_nextCustoId++);
    item->m_id = item->m_custoId;
    item->m_realName = realName.c_str();
    m_class.GetContactStore()->AddItem(item);
}

void ReportsFixture::WriteTemplate(const std::string& name, const std::string& gbkText) const
{
    std::ofstream(AppFolder() / "styles" / "common" / name, std::ios::binary) << gbkText;
}

void ReportsFixture::RemoveTemplate(const std::string& name) const
{
    std::filesystem::remove(AppFolder() / "styles" / "common" / name);
}

} // namespace tavrin::test
