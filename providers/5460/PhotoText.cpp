#include "providers/5460/PhotoText.h"

#include "providers/5460/site.h"
#include "providers/common/NumericId.h"
#include "providers/common/ProviderUrl.h"

#include <string>

namespace tavrin::p5460 {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

CString FullUploadTime(const CString& shown)
{
    if (shown.GetLength() < 2 || !IsDigit(shown[0]) || !IsDigit(shown[1]))
        return shown;
    int year = (shown[0] - '0') * 10 + (shown[1] - '0');
    return (year > 50 ? "19" : "20") + shown;
}

CString PhotoFileName(const CString& id, const CString& url)
{
    if (!IsNumericId(id))
        return CString();
    int dot = url.ReverseFind('.');
    if (dot < 0)
        return id;
    CString extension = url.Mid(dot + 1);
    if (extension.IsEmpty() || extension.GetLength() > 5)
        return id;
    for (int i = 0; i < extension.GetLength(); ++i)
        if (!IsAlnum(extension[i]))
            return id;
    return id + "." + extension;
}

CString DetailPlaceholder(const CString& status)
{
    return "../../../../styles/5460/default/images/" + status + ".png";
}

CString ThumbnailPlaceholder(const CString& status)
{
    return "../../../../styles/5460/default/images/s_" + status + ".png";
}

} // namespace tavrin::p5460

namespace tavrin::p5460 {

bool IsProviderUrl(const CString& url)
{
    return tavrin::IsProviderUrl(url, {kWebHost1, kWebHost2, kUploadHost, kImageHost});
}

} // namespace tavrin::p5460
