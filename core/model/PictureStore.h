// CPictureStore: a class's photo album ("picture.xml"), one CPictureItem per
// photo. The provider derives it and implements the operations.
#pragma once

#include "core/model/ClassStore.h"
#include "core/services/HttpClient.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

class CPictureItem : public CStoreItem {
public:
    CPictureItem() = default;
    CPictureItem(const CPictureItem& other) = default;
    CPictureItem& operator=(const CPictureItem& other) = default;
    ~CPictureItem() override = default;

    static void ReadXml(CPictureItem* item, CXmlCursor* cursor);
    static void WriteXml(CPictureItem* item, CXmlCursor* cursor);

    CString m_tile;  // the title; the element is named "tile"
    CString m_uploadUser;
    CString m_uploadTime;
    CString m_click;
    CString m_commentNum;
    CString m_smallId;
    CString m_status;
};

class CPictureStore : public CClassStore {
public:
    CPictureStore();
    ~CPictureStore() override;

    CString GetAuthImagePath(CString name) override;
    void SortRange(int lo, int hi, int column, BOOL ascending) override;
    BOOL IsBusy() override;

    virtual void SendComment(CString subject, CString text, CString id, int param);
    virtual CString RenderUploadPage();
    virtual void Upload(const CByteArray& form, int param);
    virtual void UpdateIndex(CStringArray& ids, int mode);
    virtual void Delete(const CStringArray& custoIds, int param);
    virtual CString RenderThumbnails(int first, int perPage, int rowLength);

    void StartUpdate(const CStringArray& ids, int mode);
    void StopUpdate();
    void StartUpload(const CByteArray& form, int param);
    void StartComment(const CString& subject, const CString& text, const CString& id, int param);
    void DeleteItems(const CStringArray& custoIds, BOOL localOnly, int param);

    void PushUpload(const CByteArray& form);
    CByteArray PopUpload();

    void LoadItems(BOOL reload);

    CPictureItem* GetItem(int index) { return static_cast<CPictureItem*>(CClassStore::GetItem(index)); }
    CPictureItem* LookupItem(const CString& id, const CString& custoId, int* index)
    {
        return static_cast<CPictureItem*>(CClassStore::LookupItem(id, custoId, index));
    }
    CPictureItem* FindItem(const CString& id, const CString& custoId)
    {
        return static_cast<CPictureItem*>(CClassStore::FindItem(id, custoId));
    }

    int GetNewPictureCount() const { return m_newPictureCount.load(); }
    int GetNewCommentCount() const { return m_newCommentCount.load(); }
    BOOL IsCommenting() const { return m_commentBusy.load() != 0; }
    BOOL IsUploading() const { return m_uploadBusy.load() != 0; }
    BOOL IsUpdating() const { return m_updateBusy.load() != 0; }
    BOOL IsDeleting() const { return m_deleteBusy.load() != 0; }

protected:
    void AbortRequests() override;

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
    std::mutex m_uploadLock;
    std::deque<std::string> m_uploads;
};
