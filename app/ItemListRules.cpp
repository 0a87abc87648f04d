#include "app/ItemListRules.h"

#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"

#include <algorithm>
#include <cctype>

namespace tavrin::app {

CClassStore* PageStore(CSchoolClass* schoolClass, int page)
{
    if (!schoolClass)
        return nullptr;
    switch (page) {
    case kMessagePage:
        return schoolClass->GetMessageStore();
    case kPicturePage:
        return schoolClass->GetPictureStore();
    case kContactPage:
        return schoolClass->GetContactStore();
    case kNotePage:
        return schoolClass->GetPrivateStore();
    default:
        return nullptr;
    }
}

std::vector<const char*> ColumnCaptions(int page)
{
    switch (page) {
    case kMessagePage:
        return {"", "主题", "留言人", "时间"};
    case kPicturePage:
        return {"", "图片描述", "上传者", "人气", "评论", "上传时间"};
    case kContactPage:
        return {"", "真实姓名", "用户名", "身份", "访问次数", "上次登录时间"};
    case kNotePage:
        return {"", "主题", "发信人", "时间", "回复"};
    default:
        return {};
    }
}

std::vector<int> ColumnWidths(int page, int width, int scrollWidth)
{
    const int w = width;
    const int v = scrollWidth;
    std::vector<int> widths;
    switch (page) {
    case kMessagePage:
        widths = {16, (3 * w) / 5 - v - 18, (9 * w) / 50, (11 * w) / 50};
        break;
    case kPicturePage:
        widths = {16, w / 3 - v - 18, w / 6, w / 6, (8 * w) / 60, (12 * w) / 60};
        break;
    case kContactPage:
        widths = {16, w / 6, w / 6, w / 6 + 24, w / 6, w / 3 - v - 42};
        break;
    case kNotePage:
        widths = {16, (36 * w) / 60 - v - 18, (8 * w) / 60, (12 * w) / 60, (4 * w) / 60};
        break;
    default:
        break;
    }
    for (int& each : widths)
        each = std::clamp(each, 0, 0x7FFF);
    return widths;
}

CString CellText(int page, const CStoreItem& item, int column)
{
    if (column <= 0)
        return CString();
    switch (page) {
    case kMessagePage:
        if (const auto* message = dynamic_cast<const CMessageItem*>(&item)) {
            const CString* fields[] = {&message->m_title, &message->m_user, &message->m_time};
            if (column <= 3)
                return *fields[column - 1];
        }
        break;
    case kPicturePage:
        if (const auto* picture = dynamic_cast<const CPictureItem*>(&item)) {
            const CString* fields[] = {&picture->m_tile, &picture->m_uploadUser, &picture->m_click,
                                       &picture->m_commentNum, &picture->m_uploadTime};
            if (column <= 5)
                return *fields[column - 1];
        }
        break;
    case kContactPage:
        if (const auto* contact = dynamic_cast<const CContactItem*>(&item)) {
            const CString* fields[] = {&contact->m_realName, &contact->m_userName, &contact->m_membership,
                                       &contact->m_visitTime, &contact->m_lastVisit};
            if (column <= 5)
                return *fields[column - 1];
        }
        break;
    case kNotePage:
        if (const auto* note = dynamic_cast<const CPrivateItem*>(&item)) {
            if (column == 4)
                return note->m_replyStatus == "yes" ? "是" : "否";
            const CString* fields[] = {&note->m_title, &note->m_realName, &note->m_time};
            if (column <= 3)
                return *fields[column - 1];
        }
        break;
    default:
        break;
    }
    return CString();
}

int RowImage(int page, const CStoreItem* item)
{
    switch (page) {
    case kMessagePage:
        return item && item->m_pinned ? 3 : 0;
    case kPicturePage:
        return 1;
    case kContactPage:
        return 2;
    default:
        return 0;
    }
}

CaptionState ReadCaptionState(CSchoolClass* schoolClass, int page)
{
    CaptionState state;
    CClassStore* store = PageStore(schoolClass, page);
    if (!store)
        return state;
    state.count = store->GetItemCount();
    state.unread = page == kContactPage ? 0 : store->GetUnreadCount();
    state.searchText = !store->GetLastSearch().IsEmpty();
    state.searching = store->IsSearching() != FALSE;
    switch (page) {
    case kMessagePage:
        state.updating = schoolClass->GetMessageStore()->IsUpdating() != FALSE;
        break;
    case kPicturePage:
        state.updating = schoolClass->GetPictureStore()->IsUpdating() != FALSE;
        break;
    case kContactPage:
        state.updating = schoolClass->GetContactStore()->IsBusy() != FALSE;
        break;
    default:
        state.updating = schoolClass->GetPrivateStore()->IsUpdating() != FALSE;
        break;
    }
    if (page == kNotePage && schoolClass->GetAccount())
        state.privateName = schoolClass->GetAccount()->GetPrivateFeatureName();
    return state;
}

CString PageCaption(int page, const CaptionState& state)
{
    CString caption;
    switch (page) {
    case kMessagePage:
        caption.Format("留言(%d/%d)", state.unread, state.count);
        break;
    case kPicturePage:
        caption.Format("照片(%d/%d)", state.unread, state.count);
        break;
    case kContactPage:
        caption.Format("通讯录(%d)", state.count);
        break;
    default:
        caption.Format("%s(%d/%d)", state.privateName.GetString(), state.unread, state.count);
        break;
    }
    if (state.searchText)
        caption += state.searching ? "[搜索中...]" : "[搜索]";
    else if (state.updating)
        caption += "[更新中...]";
    return caption;
}

CString IdleCaption(int page, const CString& privateName)
{
    switch (page) {
    case kMessagePage:
        return "留言";
    case kPicturePage:
        return "照片";
    case kContactPage:
        return "通讯录";
    default:
        return privateName.IsEmpty() ? CString("在线消息") : privateName;
    }
}

int LeadingNumber(const CString& text)
{
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        value = std::min<long long>(value * 10 + (*p - '0'), 0x7FFFFFFF);
    return static_cast<int>(negative ? -value : value);
}

int PreviousMessageRow(int row, int count, int pageSize)
{
    if (row <= 0)
        return std::max(count - pageSize, 0);
    if (row < pageSize)
        return 0;
    return row - pageSize;
}

int NextMessageRow(int row, int count, int pageSize)
{
    const long long next = static_cast<long long>(row) + pageSize;
    return next >= count ? 0 : static_cast<int>(next);
}

int PreviousPictureRow(int row, int count) { return row <= 0 ? count - 1 : row - 1; }

int NextPictureRow(int row, int count) { return row + 1 > count - 1 ? 0 : row + 1; }

} // namespace tavrin::app
