// Pictures of stored messages: each absolute picture is fetched once into
// the class's "images" folder and the content points at the copy (or at the
// missing picture); a photo notice's pictures link to the photo they show.
#include "providers/5460/MessageStore5460.h"

#include "core/services/HtmlTags.h"
#include "providers/5460/PhotoText.h"
#include "providers/common/MessagePictures.h"

namespace {

const char kMissingPicture[] = "../../../styles/5460/default/images/s_missing.png";
const char kNoticeTitle[] = "新照片通知.";
const char kNoticeLink[] = "<a href=/gy5460/jsp/picture/pictureDetail\\.jsp\\?picID=([0-9]+)&[^>]*>(.*?)</a>";

} // namespace

void CMessageStore5460::LocalizeImages(CMessageItem5460* message, CHttpClient* client, const CString& rawContent)
{
    if (!message || !client)
        return;
    const bool notice = message->m_title == kNoticeTitle;
    const tavrin::NoticeLinks links = notice ? tavrin::ReadNoticeLinks(rawContent, kNoticeLink) : tavrin::NoticeLinks();
    // A notice's anchors go once, before any picture is linked, so that every
    // picture keeps its link.
    if (notice)
        RemoveHtmlTags(message->m_content, "<a>");
    const tavrin::PictureSite site{GetClassFolder() + "\\images", kMissingPicture, &tavrin::p5460::IsProviderUrl};
    tavrin::LocalizeMessagePictures(message->m_content, *client, site, notice ? &links : nullptr);
}
