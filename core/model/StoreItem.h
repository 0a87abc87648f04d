// CStoreItem: what every stored record has (local number, provider id, read
// and pinned marks, and the element of the store's document it came from).
#pragma once

#include "core/services/XmlNode.h"
#include "platform/base/String.h"

class CXmlCursor;

class CStoreItem {
public:
    CStoreItem() = default;
    CStoreItem(const CStoreItem& other) = default;
    CStoreItem& operator=(const CStoreItem& other) = default;
    virtual ~CStoreItem() = default;

    // The cursor stands on an item element.
    static void ReadXml(CStoreItem* item, CXmlCursor* cursor);
    static void WriteXml(CStoreItem* item, CXmlCursor* cursor);

    CString m_custoId;
    CString m_id;
    int m_read = 0;
    int m_pinned = 0;
    // Does not own the node; reads as empty once the node is freed.
    CXmlNode m_element;
};
