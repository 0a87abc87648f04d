#include "core/model/StoreItem.h"

#include "core/services/XmlCursor.h"
#include "core/services/XmlText.h"

#include <cstdlib>

void CStoreItem::ReadXml(CStoreItem* item, CXmlCursor* cursor)
{
    item->m_read = atoi(cursor->GetAttrib("read"));
    item->m_custoId = cursor->GetAttrib("custo_id");
    item->m_id = cursor->GetAttrib("id");
}

void CStoreItem::WriteXml(CStoreItem* item, CXmlCursor* cursor)
{
    cursor->SetAttribInt("read", item->m_read);
    cursor->SetAttrib("custo_id", item->m_custoId);
    cursor->SetAttrib("id", item->m_id);
}
