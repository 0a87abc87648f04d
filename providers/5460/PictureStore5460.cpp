#include "providers/5460/PictureStore5460.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/XmlText.h"
#include "platform/base/FileApi.h"
#include "platform/win/WinMessage.h"
#include "providers/5460/PhotoText.h"
#include "providers/5460/SignIn.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/PhotoMerge.h"
#include "providers/common/PictureSteps.h"

#include <set>
#include <string>

namespace {

void WriteChild(CXmlCursor* cursor, const char* name, const CString& value)
{
    if (cursor->FindChildElem(name, TRUE)) {
        cursor->SetData(value);
        cursor->GetFile().OutOfElem(cursor->GetId());
    }
}

} // namespace

void CPictureItem5460::ReadXml(CPictureItem5460* item, CXmlCursor* cursor)
{
    CPictureItem::ReadXml(item, cursor);
    item->m_comment = cursor->GetChildData("comment");
    item->m_commentId = cursor->GetChildData("comment_id");
    item->m_description = cursor->GetChildData("description");
    item->m_fileName = cursor->GetChildData("file_name");
    item->m_url = cursor->GetChildData("url");
    item->m_rank = cursor->GetChildData("rank");
}

void CPictureItem5460::WriteXml(CPictureItem5460* item, CXmlCursor* cursor)
{
    CPictureItem::WriteXml(item, cursor);
    WriteChild(cursor, "comment", item->m_comment);
    WriteChild(cursor, "comment_id", item->m_commentId);
    WriteChild(cursor, "description", item->m_description);
    WriteChild(cursor, "file_name", item->m_fileName);
    WriteChild(cursor, "url", item->m_url);
    WriteChild(cursor, "rank", item->m_rank);
}

CAccount* CPictureStore5460::GetAccount()
{
    CSchoolClass* schoolClass = GetSchoolClass();
    return schoolClass ? schoolClass->GetAccount() : nullptr;
}

CString CPictureStore5460::PageUrl(const CString& path)
{
    CAccount* account = GetAccount();
    return tavrin::p5460::PageUrl(account ? account->GetProvider() : CString(), path);
}

void CPictureStore5460::Log(const CString& text)
{
    if (CSchoolClass* schoolClass = GetSchoolClass())
        schoolClass->Log(text);
}

HWND CPictureStore5460::GetOwnerWnd()
{
    CAccount* account = GetAccount();
    return account ? account->GetNotifyWnd() : nullptr;
}

void CPictureStore5460::Post(WPARAM code)
{
    if (HWND wnd = GetOwnerWnd())
        PostMessage(wnd, WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(GetSchoolClass()));
}

void CPictureStore5460::Send(WPARAM code)
{
    if (HWND wnd = GetOwnerWnd())
        SendMessage(wnd, WM_CLASS_EVENT, code, reinterpret_cast<LPARAM>(GetSchoolClass()));
}

int CPictureStore5460::Login(CHttpClient* client)
{
    CAccount* account = GetAccount();
    CString page;
    return account ? account->Login(client, &page) : 0;
}

bool CPictureStore5460::ReadElement(const char* attribute, const CString& value, CPictureItem5460& item)
{
    return tavrin::ReadStoredPhoto(m_xml, attribute, value, item);
}

CString CPictureStore5460::RenderDetailPage(CString custoId, int width)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\picture.html", page))
        return CString();
    CPictureItem5460 item;
    if (!custoId.IsEmpty())
        ReadElement("custo_id", custoId, item);

    CString fileName = item.m_fileName;
    if (fileName.IsEmpty() || !tavrin::IsPlainFile(GetClassFolder() + "\\pictures\\" + fileName))
        fileName = tavrin::p5460::DetailPlaceholder(tavrin::DownloadState(item.m_status));


    // Description and comments are the album's HTML: only what the
    // sanitiser lets through reaches the page.
    tavrin::FillScriptDataBlock(page, "照片",
                                {fileName, item.m_tile, tavrin::SanitizeHtml(item.m_description), item.m_click,
                                 item.m_commentNum, tavrin::SanitizeHtml(item.m_comment), item.m_uploadTime,
                                 item.m_uploadUser, item.m_rank, tavrin::DecimalText(width), tavrin::ListPosition(*this, custoId)});
    return page;
}

CString CPictureStore5460::RenderThumbnails(int first, int perPage, int rowLength)
{
    return tavrin::RenderThumbnailPage(*this, first, perPage, rowLength,
                                       [this](const CString& custoId, tavrin::ThumbnailEntry& entry) {
        CPictureItem5460 item;
        if (!ReadElement("custo_id", custoId, item))
            return false;
        if (!item.m_fileName.IsEmpty() && item.m_status == "download")
            entry.file = "s_" + item.m_fileName;
        else
            entry.file = tavrin::p5460::ThumbnailPlaceholder(
                item.m_status == "download" ? CString("missing") : tavrin::DownloadState(item.m_status));
        entry.title = item.m_tile;
        entry.id = item.m_id;
        return true;
    });
}

CString CPictureStore5460::RenderUploadPage()
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\5460\\default\\upload_picture.html", page))
        return CString();
    CString block;
    if (!tavrin::FindDataBlock(page, "上传照片", block))
        return page;

    CString classBoxes, schoolBoxes, classList, schoolList;
    int count = 0;
    CString userId;
    if (CAccount* account = GetAccount()) {
        userId = account->GetUserId();
        CAccount::ClassesLock lock = account->LockClasses();
        std::set<std::string> schools;
        for (int i = 0; i < account->GetClassCount(); ++i) {
            CSchoolClass* schoolClass = account->GetClassAt(i);
            if (!schoolClass)
                continue;
            const CString id = schoolClass->GetId();
            CString box;
            box.Format("<input type=\"checkbox\" name=\"classList\" value=\"%s\"%s>%s<br>", tavrin::EscapeHtml(id),
                       schoolClass == GetSchoolClass() ? " checked" : "", XmlEscapeString(schoolClass->GetName()));
            classBoxes += box;
            classList += id + "|";
            ++count;
            const CString schoolId = schoolClass->GetSchoolId();
            if (!schools.insert(schoolId.Str()).second)
                continue;
            box.Format("<input type=\"checkbox\" name=\"classList\" value=\"-%s\" >%s<br>", tavrin::EscapeHtml(schoolId),
                       XmlEscapeString(schoolClass->GetSchoolName()));
            schoolBoxes += box;
            schoolList += "-" + schoolId + "|";
            ++count;
        }
    }
    tavrin::FillScriptDataBlock(page, "上传照片",
                                {classBoxes, schoolBoxes, tavrin::DecimalText(count), "GO:" + classList + schoolList, userId});
    return page;
}
