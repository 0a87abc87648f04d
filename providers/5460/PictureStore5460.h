// The 5460 photo album of a class: the index update (new photos and new
// comments into "picture.xml", images into the "pictures" folder), the photo
// pages, and uploads, comments and deletions at the album.
#pragma once

#include "core/model/PictureStore.h"

class CAccount;

class CPictureItem5460 : public CPictureItem {
public:
    CPictureItem5460() = default;
    CPictureItem5460(const CPictureItem5460& other) = default;
    CPictureItem5460& operator=(const CPictureItem5460& other) = default;
    ~CPictureItem5460() override = default;

    static void ReadXml(CPictureItem5460* item, CXmlCursor* cursor);
    static void WriteXml(CPictureItem5460* item, CXmlCursor* cursor);

    CString m_description;
    CString m_comment;   // the comment tables' contents, joined
    CString m_fileName;  // in the class's "pictures" folder
    CString m_url;       // the image's address
    CString m_commentId; // the photo's number in its comment page's address
    CString m_rank;
};

class CPictureStore5460 : public CPictureStore {
public:
    CPictureStore5460() = default;
    ~CPictureStore5460() override = default;

    CString RenderDetailPage(CString custoId, int width) override;
    void SendComment(CString subject, CString text, CString id, int param) override;
    CString RenderUploadPage() override;
    void Upload(CByteArray& form, int param) override;
    // mode 0: the newest part of the index; 1: the whole index; 2: the newest
    // part, then images and comments of the photos with the custo_ids in ids
    // (all when empty); other modes read nothing.
    void UpdateIndex(CStringArray& ids, int mode) override;
    void Delete(CStringArray& custoIds, int param) override;
    CString RenderThumbnails(int first, int perPage, int rowLength) override;

    // Index pages read at most in one run.
    static constexpr int kMaxIndexPages = 1000;

private:
    struct IndexRun;

    CAccount* GetAccount();
    CString PageUrl(const CString& path);
    void Log(const CString& text);
    void Post(WPARAM code);
    void Send(WPARAM code);
    int Login(CHttpClient* client);
    HWND GetOwnerWnd();

    // The steps of UpdateIndex.
    void ReadIndexPages(IndexRun& run);
    bool ReadPhoto(IndexRun& run, const CString& block);
    void MergeIndex(IndexRun& run, CStringArray& ids);
    void ReadDetails(IndexRun& run, CStringArray& ids);
    void DownloadImage(CPictureItem5460& work);
    // Sends one queued upload form.
    void UploadOne(const CString& body);

    // Removes a photo from the document and the list: by its comment page
    // number, or by custo_id when that is empty.
    void RemoveStoredPhoto(const CString& custoId, const CString& commentId);

    // Reads one photo's element by an attribute; false when it is missing.
    bool ReadElement(const char* attribute, const CString& value, CPictureItem5460& item);
};
