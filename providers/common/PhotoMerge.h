// The two halves of a photo index update that both providers' stores run
// alike on "picture.xml": merging the picked photos, and walking the chosen
// stored photos for their details. Item is the provider's photo record.
#pragma once

#include "core/model/PictureStore.h"
#include "core/services/HttpClient.h"
#include "core/services/XmlFile.h"
#include "core/services/XmlText.h"
#include "providers/common/StoreEvents.h"

#include <cstdlib>
#include <deque>
#include <functional>

namespace tavrin {

// The stored photo whose attribute has this value (as stored, escaped) read
// into item; false when there is none.
template <class Item>
bool ReadStoredPhoto(CXmlFile& xml, const char* attribute, const CString& value, Item& item)
{
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("picture") || !cursor.FindChildElemWithAttrib("item", attribute, value))
        return false;
    Item::ReadXml(&item, &cursor);
    return true;
}

struct PhotoCounts {
    int newPictures = 0;
    int newComments = 0;
};

// The highest custo_id of the stored photos; 0 when there is none. New
// photos are numbered above it, so no two elements ever share a custo_id.
int HighestPhotoNumber(CXmlFile& xml);

// Merges the picked photos, oldest first, each on top of "picture" with the
// next number: a photo already stored by id replaces its element, is read
// when its comment count did not grow, and takes its place in ids and as the
// current item; a new one counts as new with all its comments. prepare, when
// given, sees each photo just before it is written. When anything was new,
// the "last" mark becomes a copy of the last merged photo numbered one above.
template <class Item>
void MergePickedPhotos(CPictureStore& store, CXmlFile& xml, std::deque<Item>& picked, int& counter,
                       CStringArray& ids, PhotoCounts& counts, const std::function<void(Item&)>& prepare = nullptr)
{
    CXmlCursor cursor(xml);
    Item last;
    while (!picked.empty()) {
        Item photo = std::move(picked.front());
        picked.pop_front();
        ++counter;
        photo.m_custoId.Format("%d", counter);
        xml.ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("picture", TRUE))
            continue;
        const CString key = XmlEscapeString(photo.m_id, TRUE);
        if (cursor.FindChildElemWithAttrib("item", "id", key)) {
            const int oldCount = std::atoi(cursor.GetChildData("comment_num"));
            const int newCount = std::atoi(photo.m_commentNum);
            if (newCount > oldCount)
                counts.newComments += newCount - oldCount;
            const CString old = cursor.GetAttrib("custo_id");
            for (INT_PTR i = 0; i < ids.GetSize(); ++i) {
                if (ids[i] == old) {
                    ids[i] = photo.m_custoId;
                    break;
                }
            }
            if (store.GetCurrentCustoId() == old)
                store.SetCurrentCustoId(photo.m_custoId);
            photo.m_read = newCount > oldCount ? 0 : 1;
            xml.OutOfElem(cursor.GetId());
            cursor.RemoveChildElemWithAttrib("item", "id", key);
        } else {
            ++counts.newPictures;
            counts.newComments += std::atoi(photo.m_commentNum);
            photo.m_read = 0;
        }
        if (prepare)
            prepare(photo);
        cursor.InsertChildElemBefore("item", "item");
        if (cursor.FindChildElem("item"))
            Item::WriteXml(&photo, &cursor);
        last = photo;
    }
    if (counts.newPictures == 0 && counts.newComments == 0)
        return;
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("picture", TRUE))
        return;
    cursor.RemoveChildElem("last");
    cursor.InsertChildElemBefore("item", "last");
    if (cursor.FindChildElem("last")) {
        last.m_custoId.Format("%d", counter + 1);
        last.m_read = 0;
        last.m_pinned = 0;
        Item::WriteXml(&last, &cursor);
    }
}

// The details phase's walk over the stored photos, top down: each one whose
// custo_id is in ids (every one when ids is empty) is counted, logged and
// handed to handle, which fetches what it needs and says whether the photo
// is to be written back. The client's stop ends the walk before a photo is
// read or written, never in the middle of one; the walk also ends after as
// many photos as ids names (or the list holds).
template <class Item>
void WalkChosenPhotos(CClassStore& store, CXmlFile& xml, CHttpClient& client, const CStringArray& ids,
                      const std::function<bool(Item&)>& handle)
{
    LogToClass(store, "[照片]开始读取详细资料...");
    const int total = ids.GetSize() > 0 ? static_cast<int>(ids.GetSize()) : store.GetItemCount();
    int done = 0;
    auto wanted = [&](const CString& custoId) {
        if (ids.GetSize() == 0)
            return true;
        for (INT_PTR i = 0; i < ids.GetSize(); ++i)
            if (ids[i] == custoId)
                return true;
        return false;
    };
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("picture") || !cursor.FindChildElem("item"))
        return;
    for (;;) {
        if (client.IsStopped()) {
            LogToClass(store, "[照片]更新被中断.");
            return;
        }
        Item photo;
        Item::ReadXml(&photo, &cursor);
        if (wanted(photo.m_custoId)) {
            ++done;
            CString line;
            line.Format("[照片]开始读取%d/%d...", done, total);
            LogToClass(store, line);
            if (handle(photo)) {
                if (client.IsStopped()) {
                    LogToClass(store, "[照片]更新被中断.");
                    return;
                }
                Item::WriteXml(&photo, &cursor);
            }
        }
        if (client.IsStopped() || !xml.FindNextElem(TRUE, cursor.GetId()) || done >= total)
            return;
    }
}

} // namespace tavrin
