// The 5460 photo upload: the posted form's description part is "title"
// (the form itself is taken apart by providers/common/UploadForm.h), and the
// request ends with the album's "Submit" part.
#pragma once

#include "platform/base/String.h"
#include "providers/common/UploadForm.h"

#include <string>
#include <string_view>

namespace tavrin::p5460 {

inline constexpr char kUploadPath[] = "/gy5460/jsp/picture/personlocalupload.jsp";
// Where the album redirects after it has taken a photo, on either web host.
inline constexpr char kUploadDonePath[] = "/gy5460/jsp/update.jsp?op=1&pdid=";

using tavrin::UploadForm;
using tavrin::UploadFormError;

inline UploadFormError ParseUploadForm(std::string_view body, UploadForm& form)
{
    return tavrin::ParseUploadForm(body, "title", form);
}

// The request body: the head, the file's bytes, then a "Submit" part and the
// closing boundary line.
std::string BuildUploadRequest(const UploadForm& form, std::string_view file);

// Whether the reply's Location is the album's update page on either web
// host.
bool IsUploadAccepted(const CString& location);

} // namespace tavrin::p5460
