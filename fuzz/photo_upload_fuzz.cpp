// The photo upload form as posted by the browser. Whatever the body, a
// parsed form is consistent with it: the boundary is the body's first line,
// the head is a prefix of the body that ends with the file part's blank line,
// and the request built from it starts with the head and ends with the
// closing boundary line.
#include "fuzz/FuzzText.h"
#include "providers/5460/PhotoUpload.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view body(reinterpret_cast<const char*>(data), size);
    tavrin::p5460::UploadForm form;
    tavrin::p5460::UploadFormError error = tavrin::p5460::ParseUploadForm(body, form);
    if (error == tavrin::p5460::UploadFormError::NoTitle) {
        FUZZ_CHECK(form.title.empty());
        return 0;
    }
    FUZZ_CHECK(form.boundary.size() >= 3 && form.boundary.substr(0, 2) == "--");
    FUZZ_CHECK(body.substr(0, form.boundary.size() + 2) == form.boundary + "\r\n");
    FUZZ_CHECK(form.boundary.find("\r\n") == std::string::npos);
    FUZZ_CHECK(body.find(form.title) != std::string_view::npos);
    if (error == tavrin::p5460::UploadFormError::NoFile) {
        FUZZ_CHECK(form.head.empty() && form.fileName.empty());
        return 0;
    }
    FUZZ_CHECK(!form.fileName.empty());
    FUZZ_CHECK(body.substr(0, form.head.size()) == form.head);
    FUZZ_CHECK(form.head.size() >= 4 && form.head.compare(form.head.size() - 4, 4, "\r\n\r\n") == 0);
    FUZZ_CHECK(form.head.find(form.fileName) != std::string::npos);

    std::string file(body.substr(form.head.size(), 16));
    std::string request = tavrin::p5460::BuildUploadRequest(form, file);
    FUZZ_CHECK(request.compare(0, form.head.size(), form.head) == 0);
    FUZZ_CHECK(request.compare(form.head.size(), file.size(), file) == 0);
    std::string closing = "\r\n" + form.boundary + "--\r\n";
    FUZZ_CHECK(request.size() >= closing.size() &&
          request.compare(request.size() - closing.size(), closing.size(), closing) == 0);
    return 0;
}
