#include "providers/common/PictureSteps.h"
#include "providers/common/PhotoMerge.h"

#include "core/model/PictureStore.h"
#include "core/services/XmlFile.h"
#include "platform/base/FileApi.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin {

CString DownloadState(const CString& status)
{
    if (status == "download" || status == "missing")
        return status;
    return "not download";
}

CString PagePosition(int current, int total)
{
    CString text;
    text.Format("当前: %d/%d", current, total);
    return text;
}

CString DecimalText(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

bool IsPlainFile(const CString& path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void SavePicturesIfModified(CXmlFile& xml)
{
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!xml.IsModified() || !cursor.FindChildElem("picture"))
        return;
    if (cursor.FindChildElem("item") || cursor.FindChildElem("last"))
        xml.Save();
}

void StartPhotoDetails(CPictureStore& store, const CString& id)
{
    CString custoId;
    {
        CClassStore::ItemsLock lock = store.LockItems();
        if (CPictureItem* item = store.FindItem(id, CString()))
            custoId = item->m_custoId;
    }
    if (custoId.IsEmpty())
        return;
    CStringArray ids;
    ids.Add(custoId);
    store.StartUpdate(ids, 2);
}

int HighestPhotoNumber(CXmlFile& xml)
{
    int highest = 0;
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (cursor.FindChildElem("picture") && cursor.FindChildElem("item")) {
        do {
            highest = std::max(highest, atoi(cursor.GetAttrib("custo_id")));
        } while (xml.FindNextElem(TRUE, cursor.GetId()));
    }
    return highest;
}

} // namespace tavrin
