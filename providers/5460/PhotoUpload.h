// The photo upload form as the browser posts it: multipart parts beginning
// with the body's own boundary line, a "title" part, and the file part last,
// whose filename is the full local path of the picked file. The browser may
// hand over the file's bytes after the file part's header lines, or nothing;
// either way they are cut off and the file is read from disk instead.
#pragma once

#include "platform/base/String.h"

#include <string>
#include <string_view>

namespace tavrin::p5460 {

inline constexpr char kUploadPath[] = "/gy5460/jsp/picture/personlocalupload.jsp";
// Where the album redirects after it has taken a photo, on either web host.
inline constexpr char kUploadDonePath[] = "/gy5460/jsp/update.jsp?op=1&pdid=";

enum class UploadFormError {
    None,
    NoTitle, // no boundary line or no "title" part
    NoFile,  // no file part, or its header lines do not end
};

struct UploadForm {
    std::string boundary; // the first line, without its CR LF
    std::string title;
    std::string fileName; // the local path, as posted
    std::string head;     // the body through the blank line after the file part's headers
};

// Takes the posted body apart. The title is known when the result is NoFile.
UploadFormError ParseUploadForm(std::string_view body, UploadForm& form);

// The request body: the head, the file's bytes, then a "Submit" part and the
// closing boundary line.
std::string BuildUploadRequest(const UploadForm& form, std::string_view file);

// Whether the reply's Location is the album's update page on either web
// host.
bool IsUploadAccepted(const CString& location);

} // namespace tavrin::p5460
