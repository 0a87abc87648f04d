// The ChinaRen short notes ("小纸条"), kept in "private.xml".
#pragma once

#include "core/model/PrivateStore.h"

class CPrivateItemChinaRen : public CPrivateItem {
public:
    CPrivateItemChinaRen() = default;
    CPrivateItemChinaRen(const CPrivateItemChinaRen& other) = default;
    CPrivateItemChinaRen& operator=(const CPrivateItemChinaRen& other) = default;
    ~CPrivateItemChinaRen() override = default;

    static void ReadXml(CPrivateItemChinaRen* item, CXmlCursor* cursor);
    // A new element gets the child content after the base ones.
    static void WriteXml(CPrivateItemChinaRen* item, CXmlCursor* cursor);

    CString m_content;
};

class CPrivateStoreChinaRen : public CPrivateStore {
public:
    CPrivateStoreChinaRen() = default;
    ~CPrivateStoreChinaRen() override = default;
};
