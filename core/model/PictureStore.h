// CPictureStore: a class's photo album ("picture.xml"), one CPictureItem per
// photo, and the "pictures" folder with the photos and their "s_"
// thumbnails. The provider derives it and implements the operations.
#pragma once

#include "core/model/ClassStore.h"
#include "core/services/HttpClient.h"

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

class CPictureItem : public CStoreItem {
public:
    CPictureItem() = default;
    CPictureItem(const CPictureItem& other) = default;
    CPictureItem& operator=(const CPictureItem& other) = default;
    ~CPictureItem() override = default;

    static void ReadXml(CPictureItem* item, CXmlCursor* cursor);
    // A new element gets the children click, comment_num, upload_time, tile,
    // upload_user in this order, then the attributes small_id and status.
    static void WriteXml(CPictureItem* item, CXmlCursor* cursor);

    CString m_tile;  // the title; the element is named "tile"
    CString m_uploadUser;
    CString m_uploadTime;
    CString m_click;
    CString m_commentNum;
    CString m_smallId;
    CString m_status;  // "download", "not download" or "missing"
};

class CPictureStore : public CClassStore {
public:
    CPictureStore();
    ~CPictureStore() override;

    CString GetAuthImagePath(CString name) override;
    void SortRange(int lo, int hi, int column, BOOL ascending) override;
    BOOL IsBusy() override;

    // The provider's operations and pages; the base bodies do nothing.
    virtual void SendComment(CString first, CString text, CString pictureId, int param);
    virtual CString RenderUploadPage();
    // Runs for every posted upload form, also while another upload runs: it
    // queues its body with RunUploads, which leaves it to the running upload.
    virtual void Upload(CByteArray& form, int param);
    // mode 0 the newest part of the index, 1 the whole index, 2 the newest
    // part and the details of the photos with these custo_ids (all when empty).
    virtual void UpdateIndex(CStringArray& ids, int mode);
    virtual void Delete(CStringArray& custoIds, int param);
    virtual CString RenderThumbnails(int first, int second, int third);

    // Start operations (window thread): each claims its operation's busy flag
    // and posts a task, or does nothing while the operation is claimed.
    void StartUpdate(const CStringArray& ids, int mode);
    void StopUpdate();
    // Always posts: a running upload takes the new body from the queue.
    void StartUpload(const CByteArray& form, int param);
    void StartComment(CString first, CString text, CString pictureId, int param);
    // Local only: removes the records and their elements at once (no file is
    // written); otherwise the provider's Delete does it. Nothing while a
    // delete runs.
    void DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param);

    int GetNewPictureCount() const { return m_newPictureCount.load(); }
    int GetNewCommentCount() const { return m_newCommentCount.load(); }
    BOOL IsCommenting() const { return m_commentBusy.load() != 0; }
    BOOL IsUploading() const { return m_uploadBusy.load() != 0; }
    BOOL IsUpdating() const { return m_updateBusy.load() != 0; }
    BOOL IsDeleting() const { return m_deleteBusy.load() != 0; }

    // The upload queue: bodies are byte strings (they hold file bytes), kept
    // whole and taken first in, first out. PopUpload gives an empty text when
    // the queue is empty.
    void PushUpload(const CString& body);
    CString PopUpload();

    CPictureItem* GetItem(int index) { return static_cast<CPictureItem*>(CClassStore::GetItem(index)); }
    CPictureItem* LookupItem(const CString& id, const CString& custoId, int* index)
    {
        return static_cast<CPictureItem*>(CClassStore::LookupItem(id, custoId, index));
    }
    CPictureItem* FindItem(const CString& id, const CString& custoId)
    {
        return static_cast<CPictureItem*>(CClassStore::FindItem(id, custoId));
    }

    // Makes the missing thumbnails of the "pictures" folder, then rebuilds
    // the list from the document, reading the file first when reload is set.
    void LoadItems(BOOL reload);

protected:
    void AbortRequests() override;

    // For the provider's Upload: queues the body, then, unless an upload
    // runs already, claims the upload flag and hands every queued body to
    // send on this thread until the queue is empty. A body queued while the
    // flag is being released is never left behind. Nothing is sent once the
    // store closes.
    void RunUploads(const CString& body, const std::function<void(const CString&)>& send);

    std::atomic<int> m_newPictureCount{0};
    std::atomic<int> m_newCommentCount{0};
    CHttpClient m_commentClient;
    std::atomic<int> m_commentBusy{0};
    CHttpClient m_uploadClient;
    std::atomic<int> m_uploadBusy{0};
    CHttpClient m_updateClient;
    std::atomic<int> m_updateBusy{0};
    CHttpClient m_deleteClient;
    std::atomic<int> m_deleteBusy{0};

private:
    bool TakeUpload(CString* body);

    std::mutex m_uploadLock;  // guards the queue and nothing else
    std::deque<std::string> m_uploads;
};

// The store's tasks: each calls one operation and holds its claim until it
// is deleted (the upload task claims nothing; Upload does).
class CPictureCommentTask : public tavrin::ClaimedCall {
public:
    CPictureCommentTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy, const CString& first,
                        const CString& text, const CString& pictureId, int param)
        : ClaimedCall(state, busy, [=] { store->SendComment(first, text, pictureId, param); })
    {
    }
};

class CPictureUploadTask : public tavrin::ClaimedCall {
public:
    CPictureUploadTask(CPictureStore* store, tavrin::OwnerState* state, const CByteArray& form, int param)
        : ClaimedCall(state, nullptr, [store, form = tavrin::CopyForTask(form), param] { store->Upload(*form, param); })
    {
    }
};

class CPictureUpdateTask : public tavrin::ClaimedCall {
public:
    CPictureUpdateTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& ids, int mode)
        : ClaimedCall(state, busy, [store, ids = tavrin::CopyForTask(ids), mode] { store->UpdateIndex(*ids, mode); })
    {
    }
};

class CPictureDeleteTask : public tavrin::ClaimedCall {
public:
    CPictureDeleteTask(CPictureStore* store, tavrin::OwnerState* state, std::atomic<int>* busy,
                       const CStringArray& custoIds, int param)
        : ClaimedCall(state, busy, [store, ids = tavrin::CopyForTask(custoIds), param] { store->Delete(*ids, param); })
    {
    }
};
