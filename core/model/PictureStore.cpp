#include "core/model/PictureStore.h"

#include "core/services/HtmlTags.h"
#include "core/services/XmlText.h"

#include <cstdlib>

namespace {

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

class CPictureUpdateTask : public tavrin::ClaimedTask {
public:
    CPictureUpdateTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CStringArray& ids,
                       int mode)
        : ClaimedTask(state, busy), m_store(store), m_mode(mode)
    {
        m_ids.Copy(ids);
    }

protected:
    void Execute() override { m_store->UpdateIndex(m_ids, m_mode); }

private:
    CPictureStore* m_store;
    int m_mode;
    CStringArray m_ids;
};

class CPictureUploadTask : public tavrin::ClaimedTask {
public:
    CPictureUploadTask(CPictureStore* store, tavrin::OwnerState* state, const CByteArray& form, int param)
        : ClaimedTask(state, nullptr), m_store(store), m_param(param)
    {
        m_form.Copy(form);
    }

protected:
    void Execute() override { m_store->Upload(m_form, m_param); }

private:
    CPictureStore* m_store;
    int m_param;
    CByteArray m_form;
};

class CPictureCommentTask : public tavrin::ClaimedTask {
public:
    CPictureCommentTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CString& subject,
                        const CString& text, const CString& id, int param)
        : ClaimedTask(state, busy), m_store(store), m_param(param), m_subject(subject), m_text(text), m_id(id)
    {
    }

protected:
    void Execute() override { m_store->SendComment(m_subject, m_text, m_id, m_param); }

private:
    CPictureStore* m_store;
    int m_param;
    CString m_subject;
    CString m_text;
    CString m_id;
};

class CPictureDeleteTask : public tavrin::ClaimedTask {
public:
    CPictureDeleteTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& custoIds, int param)
        : ClaimedTask(state, busy), m_store(store), m_param(param)
    {
        m_custoIds.Copy(custoIds);
    }

protected:
    void Execute() override { m_store->Delete(m_custoIds, m_param); }

private:
    CPictureStore* m_store;
    int m_param;
    CStringArray m_custoIds;
};

} // namespace

void CPictureItem::ReadXml(CPictureItem* item, CXmlCursor* cursor)
{
    CStoreItem::ReadXml(item, cursor);
    item->m_click = cursor->GetChildData("click");
    item->m_commentNum = cursor->GetChildData("comment_num");
    item->m_uploadTime = cursor->GetChildData("upload_time");
    item->m_tile = cursor->GetChildData("tile");
    item->m_uploadUser = cursor->GetChildData("upload_user");
    item->m_smallId = cursor->GetAttrib("small_id");
    item->m_status = cursor->GetAttrib("status");
}

void CPictureItem::WriteXml(CPictureItem* item, CXmlCursor* cursor)
{
    CStoreItem::WriteXml(item, cursor);
    WriteChild(cursor, "click", item->m_click);
    WriteChild(cursor, "comment_num", item->m_commentNum);
    WriteChild(cursor, "upload_time", item->m_uploadTime);
    WriteChild(cursor, "tile", item->m_tile);
    WriteChild(cursor, "upload_user", item->m_uploadUser);
    cursor->SetAttrib("small_id", item->m_smallId);
    cursor->SetAttrib("status", item->m_status);
}

CPictureStore::CPictureStore()
{
    SetSort(5, FALSE);
    SetXmlFileName("picture.xml");
    SetRootName("picture");
}

CPictureStore::~CPictureStore()
{
    Close();
}

CString CPictureStore::GetAuthImagePath(CString)
{
    return GetClassFolder() + "\\auth_picture.gif";
}

BOOL CPictureStore::IsBusy()
{
    return m_deleteBusy.load() || m_updateBusy.load() || m_uploadBusy.load() || m_commentBusy.load() ||
           CClassStore::IsBusy();
}

void CPictureStore::AbortRequests()
{
    m_updateClient.Abort();
    m_uploadClient.Abort();
    m_commentClient.Abort();
    m_deleteClient.Abort();
}

void CPictureStore::SendComment(CString, CString, CString, int) {}
CString CPictureStore::RenderUploadPage() { return CString(); }
void CPictureStore::Upload(const CByteArray&, int) {}
void CPictureStore::UpdateIndex(CStringArray&, int) {}
void CPictureStore::Delete(const CStringArray&, int) {}
CString CPictureStore::RenderThumbnails(int, int, int) { return CString(); }

void CPictureStore::StartUpdate(const CStringArray& ids, int mode)
{
    if (!m_state.Claim(m_updateBusy))
        return;
    m_state.Post(m_pool, new CPictureUpdateTask(this, &m_state, &m_updateBusy, ids, mode));
}

void CPictureStore::StopUpdate()
{
    if (m_updateBusy.load())
        m_updateClient.Abort();
}

void CPictureStore::StartUpload(const CByteArray& form, int param)
{
    if (IsClosing())
        return;
    m_state.Post(m_pool, new CPictureUploadTask(this, &m_state, form, param));
}

void CPictureStore::StartComment(const CString& subject, const CString& text, const CString& id, int param)
{
    if (!m_state.Claim(m_commentBusy))
        return;
    m_state.Post(m_pool, new CPictureCommentTask(this, &m_state, &m_commentBusy, subject, text, id, param));
}

void CPictureStore::DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param)
{
    if (m_deleteBusy.load())
        return;
    if (localOnly) {
        DeleteLocally(custoIds);
        return;
    }
    if (!m_state.Claim(m_deleteBusy))
        return;
    m_state.Post(m_pool, new CPictureDeleteTask(this, &m_state, &m_deleteBusy, custoIds, param));
}

void CPictureStore::PushUpload(const CByteArray& form)
{
    std::lock_guard<std::mutex> lock(m_uploadLock);
    m_uploads.emplace_back(reinterpret_cast<const char*>(form.GetData()), static_cast<size_t>(form.GetSize()));
}

CByteArray CPictureStore::PopUpload()
{
    CByteArray out;
    std::lock_guard<std::mutex> lock(m_uploadLock);
    if (m_uploads.empty())
        return out;
    const std::string& body = m_uploads.front();
    out.SetSize(static_cast<INT_PTR>(body.size()));
    for (size_t i = 0; i < body.size(); ++i)
        out[static_cast<INT_PTR>(i)] = static_cast<BYTE>(body[i]);
    m_uploads.pop_front();
    return out;
}

void CPictureStore::LoadItems(BOOL reload)
{
    ItemsLock lock = LockItems();
    RemoveAllItems();
    CXmlCursor cursor(m_xml);
    if (reload) {
        m_xml.Clear();
        if (!cursor.Load(GetClassFolder() + "\\" + GetXmlFileName(), TRUE))
            return;
    }
    m_xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem(GetRootName(), FALSE) || !cursor.FindChildElem("item", FALSE))
        return;
    do {
        CPictureItem* item = new CPictureItem;
        item->m_element = cursor.GetNode();
        item->m_tile = cursor.GetChildData("tile");
        StripHtmlTags(item->m_tile);
        item->m_tile.TrimLeft();
        item->m_uploadUser = cursor.GetChildData("upload_user");
        item->m_uploadTime = cursor.GetChildData("upload_time");
        item->m_click = cursor.GetChildData("click");
        item->m_commentNum = cursor.GetChildData("comment_num");
        item->m_custoId = cursor.GetAttrib("custo_id");
        item->m_id = cursor.GetAttrib("id");
        item->m_smallId = cursor.GetAttrib("small_id");
        item->m_read = atoi(cursor.GetAttrib("read"));
        AddItem(item);
    } while (m_xml.FindNextElem(TRUE, cursor.GetId()));
    SortItems(GetSortColumn(), GetSortAscending());
}

void CPictureStore::SortRange(int lo, int hi, int column, BOOL ascending)
{
    if (column == 3 || column == 4) {
        CString CPictureItem::*field = column == 3 ? &CPictureItem::m_click : &CPictureItem::m_commentNum;
        QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
            long long x = StoreTextNumber(static_cast<CPictureItem*>(a)->*field);
            long long y = StoreTextNumber(static_cast<CPictureItem*>(b)->*field);
            return x < y ? -1 : (x > y ? 1 : 0);
        });
        return;
    }
    CString CPictureItem::*field = nullptr;
    switch (column) {
    case 1: field = &CPictureItem::m_tile; break;
    case 2: field = &CPictureItem::m_uploadUser; break;
    case 5: field = &CPictureItem::m_uploadTime; break;
    default: return;
    }
    QuickSortRange(lo, hi, column, ascending, [field](CStoreItem* a, CStoreItem* b) {
        return CompareStoreText(static_cast<CPictureItem*>(a)->*field, static_cast<CPictureItem*>(b)->*field);
    });
}
