#include "core/model/PictureStore.h"

#include "core/model/Thumbnail.h"
#include "core/services/HtmlTags.h"

#include <cstdlib>

namespace {

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

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
    return m_deleteBusy.load() || m_updateBusy.load() || m_uploadBusy.load() || m_commentBusy.load();
}

void CPictureStore::AbortRequests()
{
    m_updateClient.Abort();
    m_uploadClient.Abort();
    m_commentClient.Abort();
    m_deleteClient.Abort();
}

// Base bodies: the providers override them.
void CPictureStore::SendComment(CString, CString, CString, int) {}
CString CPictureStore::RenderUploadPage() { return CString(); }
void CPictureStore::Upload(CByteArray&, int) {}
void CPictureStore::UpdateIndex(CStringArray&, int) {}
void CPictureStore::Delete(CStringArray&, int) {}
CString CPictureStore::RenderThumbnails(int, int, int) { return CString(); }

void CPictureStore::StartUpdate(const CStringArray& ids, int mode)
{
    if (m_state.Claim(m_updateBusy))
        m_state.Post(m_pool, new CPictureUpdateTask(this, &m_state, &m_updateBusy, ids, mode));
}

void CPictureStore::StopUpdate()
{
    if (m_updateBusy.load())
        m_updateClient.Abort();
}

void CPictureStore::StartUpload(const CByteArray& form, int param)
{
    if (!IsClosing())
        m_state.Post(m_pool, new CPictureUploadTask(this, &m_state, form, param));
}

void CPictureStore::StartComment(CString first, CString text, CString pictureId, int param)
{
    if (m_state.Claim(m_commentBusy))
        m_state.Post(m_pool, new CPictureCommentTask(this, &m_state, &m_commentBusy, first, text, pictureId, param));
}

void CPictureStore::DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param)
{
    if (m_deleteBusy.load())
        return;
    if (!localOnly) {
        if (m_state.Claim(m_deleteBusy))
            m_state.Post(m_pool, new CPictureDeleteTask(this, &m_state, &m_deleteBusy, custoIds, param));
        return;
    }
    DeleteLocally(custoIds);
}

void CPictureStore::PushUpload(const CString& body)
{
    std::lock_guard<std::mutex> lock(m_uploadLock);
    m_uploads.emplace_back(body.View());
}

bool CPictureStore::TakeUpload(CString* body)
{
    std::lock_guard<std::mutex> lock(m_uploadLock);
    if (m_uploads.empty())
        return false;
    *body = CString(std::move(m_uploads.front()));
    m_uploads.pop_front();
    return true;
}

CString CPictureStore::PopUpload()
{
    CString body;
    TakeUpload(&body);
    return body;
}

void CPictureStore::RunUploads(const CString& body, const std::function<void(const CString&)>& send)
{
    PushUpload(body);
    for (;;) {
        // Refused while another upload runs (it takes the body) or the store
        // closes (queued bodies are dropped with the store).
        if (!m_state.Claim(m_uploadBusy))
            return;
        CString next;
        while (!IsClosing() && TakeUpload(&next))
            send(next);
        m_state.Release(m_uploadBusy);
        // A body queued after the last take, while this upload still held
        // the flag, found it taken: take it now.
        std::lock_guard<std::mutex> lock(m_uploadLock);
        if (m_uploads.empty() || IsClosing())
            return;
    }
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

void CPictureStore::LoadItems(BOOL reload)
{
    // Decoding photos takes long: done before the items lock is taken, so the
    // window thread is never held up by it.
    CString folder = GetClassFolder();
    if (!folder.IsEmpty())
        tavrin::MakeMissingThumbnails(folder + "\\pictures");

    ItemsLock lock = LockItems();
    CXmlCursor cursor(m_xml);
    if (!BeginItemsLoad(cursor, reload))
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
