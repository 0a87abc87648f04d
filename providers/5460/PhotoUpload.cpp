#include "providers/5460/PhotoUpload.h"

#include "providers/5460/site.h"

namespace tavrin::p5460 {

std::string BuildUploadRequest(const UploadForm& form, std::string_view file)
{
    std::string out;
    out.reserve(form.head.size() + file.size() + 2 * form.boundary.size() + 80);
    out += form.head;
    out += file;
    out += "\r\n";
    out += form.boundary;
    // The button's caption, GBK for "confirm upload" (escaped: the fuzz build
    // compiles this file).
    out += "\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\n\xC8\xB7\xB6\xA8\xC9\xCF\xB4\xAB\r\n";
    out += form.boundary;
    out += "--\r\n";
    return out;
}

bool IsUploadAccepted(const CString& location)
{
    for (const char* host : {kWebHost1, kWebHost2}) {
        std::string url = std::string("http://") + host + kUploadDonePath;
        if (location.View().substr(0, url.size()) == url)
            return true;
    }
    return false;
}

} // namespace tavrin::p5460
