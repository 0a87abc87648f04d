// The ChinaRen photo album, kept in "picture.xml"; photo comments carry a
// verification code.
#pragma once

#include "core/model/PictureStore.h"

namespace tavrin::chinaren {
class AlbumComments;
}

class CPictureItemChinaRen : public CPictureItem {
public:
    CPictureItemChinaRen() = default;
    CPictureItemChinaRen(const CPictureItemChinaRen& other) = default;
    CPictureItemChinaRen& operator=(const CPictureItemChinaRen& other) = default;
    ~CPictureItemChinaRen() override = default;

    static void ReadXml(CPictureItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the children comment, description, file_name,
    // file_size, original_size, url after the base ones.
    static void WriteXml(CPictureItemChinaRen* item, CXmlCursor* cursor);

    CString m_fileSize;
    CString m_originalSize;
    CString m_description;
    CString m_fileName;
    CString m_comment;
    CString m_url;
};

class CPictureStoreChinaRen : public CPictureStore {
public:
    CPictureStoreChinaRen() = default;
    ~CPictureStoreChinaRen() override = default;

    BOOL NeedsAuthCode() override { return TRUE; }
    // The verification stamp (see AuthCode.h).
    CString GetAuthTime() override;

    // The album index from its data scripts into "picture.xml": mode 0 the
    // photos newer than the "last" mark, 1 all, 2 all and then the images
    // and comments of the photos with the custo_ids in ids (all when empty);
    // other modes read nothing (PictureStoreChinaRenUpdate.cpp).
    void UpdateIndex(CStringArray& ids, int mode) override;
    // The pages (PictureStoreChinaRenPages.cpp).
    CString RenderUploadPage() override;
    CString RenderThumbnails(int first, int perPage, int columns) override;
    CString RenderDetailPage(CString custoId, int width) override;
    // Posting to the album (PictureStoreChinaRenPost.cpp): a comment with the
    // verification code, queued uploads, deleting.
    void SendComment(CString subject, CString text, CString id, int param) override;
    void Upload(CByteArray& form, int param) override;
    void Delete(CStringArray& custoIds, int param) override;

private:
    struct IndexRun;
    // The steps of UpdateIndex.
    bool ReadIndex(IndexRun& run);
    void MergeIndex(IndexRun& run, CStringArray& ids);
    // comments: the index of the comments script the run read, or null.
    void ReadDetails(const CStringArray& ids, const tavrin::chinaren::AlbumComments* comments);
    // The image of one photo into the "pictures" folder; sets its status.
    void DownloadImage(CPictureItemChinaRen& photo);
    // Sends one queued upload form; true when the album took it.
    bool UploadOne(const CString& entry);
    // The stored photo with this attribute value; false when there is none.
    bool ReadElement(const char* attribute, const CString& value, CPictureItemChinaRen& item);
    // "%s\\pictures\\%s" of the photo, or empty when its file name is not one
    // the update makes.
    CString PhotoPath(const CString& fileName);
    CString ClassId();
    void Log(const CString& text);
};

namespace tavrin::chinaren {
// The album's pages on the album host: "http://" host and path.
CString AlbumUrl(const CString& pathAndQuery);
// The album index page of a class.
CString AlbumIndexUrl(const CString& classId);
// Whether a request reached the album and got a page: an error status is
// no answer of the album.
bool Answered(CHttpClient& client, BOOL ok);
} // namespace tavrin::chinaren
