#include "providers/common/PictureSteps.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/PhotoMerge.h"

#include "core/model/PictureStore.h"
#include "core/services/FolderUtil.h"
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

CString ListPosition(CPictureStore& store, const CString& custoId)
{
    int index = -1;
    int count = 0;
    {
        CClassStore::ItemsLock lock = store.LockItems();
        if (!custoId.IsEmpty())
            store.LookupItem(CString(), custoId, &index);
        count = store.GetItemCount();
    }
    return PagePosition(index + 1, count);
}

CString RenderThumbnailPage(CPictureStore& store, int first, int perPage, int columns,
                            const std::function<bool(const CString& custoId, ThumbnailEntry& entry)>& entryOf)
{
    CString page;
    if (!ReadTemplateFile(GetAppDir() + "\\styles\\common\\thumbnail.html", page))
        return CString();
    if (perPage < 1)
        perPage = 1;
    if (first < 0)
        first = 0;
    CString files, titles, ids;
    bool haveEntry = false;
    int count = 0;
    {
        CClassStore::ItemsLock lock = store.LockItems();
        count = store.GetItemCount();
        for (int k = 0; k < perPage && first + k < store.GetItemCount(); ++k) {
            CPictureItem* listed = store.GetItem(first + k);
            ThumbnailEntry entry;
            if (!listed || !entryOf(listed->m_custoId, entry))
                continue;
            const char* separator = haveEntry ? "`|" : "";
            files += separator + entry.file;
            titles += separator + entry.title;
            ids += separator + entry.id;
            haveEntry = true;
        }
    }
    const long long pages = (static_cast<long long>(count) + perPage - 1) / perPage;
    FillScriptDataBlock(page, "照片",
                        {files, titles, ids, DecimalText(columns), PagePosition(first / perPage + 1, static_cast<int>(pages))});
    return page;
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
