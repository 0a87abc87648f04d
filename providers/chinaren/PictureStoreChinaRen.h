// The ChinaRen photo album, kept in "picture.xml"; photo comments carry a
// verification code.
#pragma once

#include "core/model/PictureStore.h"

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
};
