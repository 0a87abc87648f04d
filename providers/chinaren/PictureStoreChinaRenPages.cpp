// The album's pages: the upload form, the thumbnail grid and one photo's
// page. Every value goes into its script string escaped; the comment and the
// description are the album's HTML and reach the page only sanitised.
#include "providers/chinaren/PictureStoreChinaRen.h"

#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/FolderUtil.h"
#include "core/services/XmlText.h"
#include "providers/common/Escape.h"
#include "providers/common/HtmlSanitizer.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/PictureSteps.h"

namespace {

// The status icons, relative to the class's "pictures" folder.
const char kIcons[] = "../../../../styles/chinaren/default/images/";

} // namespace

CString CPictureStoreChinaRen::RenderUploadPage()
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\upload_picture.html", page))
        return CString();
    CString block;
    if (!tavrin::FindDataBlock(page, "上传照片", block))
        return page;

    CSchoolClass* own = GetSchoolClass();
    const CString ownId = own ? own->GetId() : CString();
    CString boxes;
    if (CAccount* account = own ? own->GetAccount() : nullptr) {
        CAccount::ClassesLock lock = account->LockClasses();
        for (int i = 0; i < account->GetClassCount(); ++i) {
            CSchoolClass* schoolClass = account->GetClassAt(i);
            if (!schoolClass || schoolClass->GetId() == ownId)
                continue;
            CString box;
            box.Format("&nbsp;<input type=checkbox name=chkid value=\"%s\">%s<br>",
                       tavrin::EscapeHtml(schoolClass->GetId()), XmlEscapeString(schoolClass->GetName()));
            boxes += box;
        }
    }
    const CString school = own ? XmlEscapeString(own->GetSchoolName()) : CString();
    tavrin::FillScriptDataBlock(page, "上传照片", {boxes, school, ownId});
    return page;
}

CString CPictureStoreChinaRen::RenderThumbnails(int first, int perPage, int columns)
{
    return tavrin::RenderThumbnailPage(*this, first, perPage, columns,
                                       [this](const CString& custoId, tavrin::ThumbnailEntry& entry) {
        CPictureItemChinaRen photo;
        if (!ReadElement("custo_id", XmlEscapeString(custoId, TRUE), photo))
            return false;
        if (photo.m_status == "download" && !PhotoPath(photo.m_fileName).IsEmpty())
            entry.file = "s_" + photo.m_fileName;
        else
            entry.file.Format("%ss_%s.png", kIcons,
                              photo.m_status == "download" ? CString("missing") : tavrin::DownloadState(photo.m_status));
        entry.title = photo.m_tile;
        entry.id = photo.m_id;
        return true;
    });
}

CString CPictureStoreChinaRen::RenderDetailPage(CString custoId, int width)
{
    CString page;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\chinaren\\default\\picture.html", page))
        return CString();
    CPictureItemChinaRen photo;
    if (!custoId.IsEmpty())
        ReadElement("custo_id", XmlEscapeString(custoId, TRUE), photo);

    CString file = photo.m_fileName;
    const CString path = PhotoPath(photo.m_fileName);
    if (path.IsEmpty() || !tavrin::IsPlainFile(path))
        file = kIcons + tavrin::DownloadState(photo.m_status) + ".png";

    tavrin::FillScriptDataBlock(page, "照片",
                                {file, photo.m_uploadUser, photo.m_tile, photo.m_click, photo.m_uploadTime,
                                 photo.m_fileSize, photo.m_originalSize, tavrin::SanitizeHtml(photo.m_description),
                                 tavrin::SanitizeHtml(photo.m_comment), tavrin::DecimalText(width), tavrin::ListPosition(*this, custoId)});
    return page;
}
