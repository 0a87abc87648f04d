#include "providers/5460/PhotoText.h"
#include "providers/5460/PhotoUpload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin::p5460 {
namespace {

struct Field {
    std::string name;
    std::string value;
};

// A form as the browser posts it: the fields, then the file part's header
// lines and whatever follows them.
std::string Form(const std::string& boundary, const std::vector<Field>& fields, const std::string& fileHeader,
                 const std::string& tail)
{
    std::string body;
    for (const Field& f : fields)
        body += boundary + "\r\nContent-Disposition: form-data; name=\"" + f.name + "\"\r\n\r\n" + f.value + "\r\n";
    body += boundary + "\r\n" + fileHeader + tail;
    return body;
}

const std::string kFileHeader =
    "Content-Disposition: form-data; name=\"picture\"; filename=\"/home/li/照片/毕业.jpg\"\r\n"
    "Content-Type: image/jpeg\r\n\r\n";

TEST(PhotoUploadForm, TitleEndsAtTheBodysOwnBoundaryWhateverItsDashes)
{
    for (const char* boundary : {"------WebKitFormBoundaryu7Ab",
                                       "-----------------------------7d61f3a2e0c", "--x"}) {
        SCOPED_TRACE(boundary);
        std::string body = Form(boundary,
                                {{"classList", "301"}, {"title", "毕业照\r\n第二行"}, {"description", "说明"}, {"pdid", "42"}},
                                kFileHeader, "");
        UploadForm form;
        ASSERT_EQ(ParseUploadForm(body, form), UploadFormError::None);
        EXPECT_EQ(form.boundary, boundary);
        EXPECT_EQ(form.title, "毕业照\r\n第二行");
        EXPECT_EQ(form.fileName, "/home/li/照片/毕业.jpg");
        EXPECT_EQ(form.head, body);
    }
}

TEST(PhotoUploadForm, HeadEndsAfterTheFilePartsHeaderLines)
{
    // File bytes the browser included (a NUL among them) are cut off, so
    // that nothing is sent twice.
    const std::string boundary = "------WebKitFormBoundaryQ";
    std::string head = Form(boundary, {{"title", "t"}}, kFileHeader, "");
    std::string bytes("\xFF\xD8\x00\x10JFIF\r\n\r\nfilename=\"x\"", 23);
    UploadForm form;
    ASSERT_EQ(ParseUploadForm(head + bytes + "\r\n" + boundary + "--\r\n", form), UploadFormError::None);
    EXPECT_EQ(form.head, head);
    EXPECT_EQ(form.fileName, "/home/li/照片/毕业.jpg");
}

TEST(PhotoUploadForm, Refusals)
{
    const std::string b = "------B";
    struct Case {
        const char* name;
        std::string body;
        UploadFormError error;
        std::string title;
    };
    const Case cases[] = {
        {"empty", "", UploadFormError::NoTitle, ""},
        {"no boundary line", "Content-Disposition: form-data; name=\"title\"\r\n\r\nt\r\n", UploadFormError::NoTitle, ""},
        {"first line is no boundary", "abc\r\n" + Form(b, {{"title", "t"}}, kFileHeader, ""), UploadFormError::NoTitle, ""},
        {"no title part", Form(b, {{"description", "d"}}, kFileHeader, ""), UploadFormError::NoTitle, ""},
        {"title only after the file", Form(b, {}, kFileHeader, "x\r\n" + Form(b, {{"title", "t"}}, "", "")),
         UploadFormError::NoTitle, ""},
        {"title never ends", b + "\r\nContent-Disposition: form-data; name=\"title\"\r\n\r\nt", UploadFormError::NoTitle,
         ""},
        {"no file part", Form(b, {{"title", "t"}}, "", "") + "--\r\n", UploadFormError::NoFile, "t"},
        {"empty file name",
         Form(b, {{"title", "t"}}, "Content-Disposition: form-data; name=\"picture\"; filename=\"\"\r\n\r\n", ""),
         UploadFormError::NoFile, "t"},
        {"file headers never end",
         Form(b, {{"title", "t"}}, "Content-Disposition: form-data; name=\"picture\"; filename=\"/a.jpg\"\r\n", ""),
         UploadFormError::NoFile, "t"},
        {"a title naming a file is no file part", Form(b, {{"title", "filename=\"/etc/passwd\""}}, "", "") + "--\r\n",
         UploadFormError::NoFile, "filename=\"/etc/passwd\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UploadForm form;
        EXPECT_EQ(ParseUploadForm(c.body, form), c.error);
        EXPECT_EQ(form.title, c.title);
    }
}

TEST(PhotoUploadForm, DispositionInAnyCaseAndOrder)
{
    std::string body = "--b\r\ncontent-disposition: form-data; NAME=\"title\"\r\n\r\nt\r\n"
                       "--b\r\nContent-Type: image/gif\r\nCONTENT-DISPOSITION: form-data; filename=\"C:\\a;b.gif\"; "
                       "name=\"picture\"\r\n\r\n";
    UploadForm form;
    ASSERT_EQ(ParseUploadForm(body, form), UploadFormError::None);
    EXPECT_EQ(form.title, "t");
    EXPECT_EQ(form.fileName, "C:\\a;b.gif");
}

TEST(PhotoUploadForm, RequestBytes)
{
    UploadForm form;
    form.boundary = "------B";
    form.head = "HEAD\r\n\r\n";
    std::string file("J\0PG", 4);
    EXPECT_EQ(BuildUploadRequest(form, file), std::string("HEAD\r\n\r\nJ\0PG", 12) +
                                                   "\r\n------B\r\nContent-Disposition: form-data; name=\"Submit\"\r\n\r\n"
                                                   "确定上传\r\n------B--\r\n");
}

TEST(PhotoUploadForm, AcceptedLocations)
{
    struct Case {
        const char* location;
        bool accepted;
    };
    const Case cases[] = {
        {"http://www.5460.net/gy5460/jsp/update.jsp?op=1&pdid=42", true},
        {"http://cnc.5460.net/gy5460/jsp/update.jsp?op=1&pdid=42", true},
        {"http://www.5460.net/gy5460/jsp/update.jsp?op=1&pdid=", true},
        {"", false},
        {"http://www.5460.net/gy5460/jsp/login/login.jsp", false},
        {"http://upload.5460.net/gy5460/jsp/update.jsp?op=1&pdid=42", false},
        {"http://evil.example/?u=http://www.5460.net/gy5460/jsp/update.jsp?op=1&pdid=42", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUploadAccepted(c.location), c.accepted) << c.location;
}

TEST(PhotoText, UploadTimeCentury)
{
    const std::pair<const char*, const char*> cases[] = {
        {"05-12-31 10:20", "2005-12-31 10:20"}, {"98-01-02 08:00", "1998-01-02 08:00"},
        {"50-01-01 00:00", "2050-01-01 00:00"}, {"51-01-01 00:00", "1951-01-01 00:00"},
        {"00-02-29 12:00", "2000-02-29 12:00"}, {"", ""}, {"5-1-1", "5-1-1"}, {"昨天", "昨天"},
    };
    for (const auto& [shown, stored] : cases)
        EXPECT_EQ(FullUploadTime(shown), CString(stored)) << shown;
}

TEST(PhotoText, FileNames)
{
    struct Case {
        const char* id;
        const char* url;
        const char* name;
    };
    const Case cases[] = {
        {"456", "http://image.5460.net/photo/123.jpg", "456.jpg"},
        {"456", "http://image.5460.net/photo/123.JPEG", "456.JPEG"},
        {"456", "http://image.5460.net/photo/a.b/123.gif", "456.gif"},
        {"7", "http://image.5460.net/photo/123", "7"},
        {"7", "http://image.5460.net/photo/123.jpg?x=1", "7"},
        {"7", "http://image.5460.net/photo/123.jpeg2x", "7"},
        {"7", "http://image.5460.net/x/..\\..\\evil", "7"},
        {"7", "http://image.5460.net/x/a.", "7"},
        {"7", "http://image.5460.net/x/a.j/p", "7"},
        {"", "http://image.5460.net/photo/123.jpg", ""},
        {"../1", "http://image.5460.net/photo/123.jpg", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PhotoFileName(c.id, c.url), CString(c.name)) << c.id << " " << c.url;
}

TEST(PhotoText, ProviderUrls)
{
    struct Case {
        const char* url;
        bool provider;
    };
    const Case cases[] = {
        {"http://image.5460.net/photo/1.jpg", true},
        {"HTTP://WWW.5460.NET/x", true},
        {"http://cnc.5460.net:80/x", true},
        {"http://upload.5460.net", true},
        {"http://evil.example/5460.net", false},
        {"http://www.5460.net.evil.example/x", false},
        {"http://www.5460.net@evil.example/x", false},
        {"http://www.5460.net:80@evil.example/x", false},
        // Read by the HTTP client as user information before "evil.example",
        // or as a host with a colon.
        {"http://www.5460.net\\@evil.example/x", false},
        {"http://www.5460.net\\x@evil.example/x", false},
        {"http://WWW.5460.NET::80/x", false},
        {"http://www.5460.net:99999/x", false},
        {"http://image.5460.net./photo/1.jpg", true},
        {"http://Image.5460.Net.:8080/photo/1.jpg", true},
        {"http://image.5460.net../photo/1.jpg", false},
        {"http://.image.5460.net/photo/1.jpg", false},
        {"http://image.5460.net.:80@evil.example/x", false},
        {"http://evil.example./image.5460.net/x", false},
        {"https://www.5460.net/x", false},
        {"//www.5460.net/x", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsProviderUrl(c.url), c.provider) << c.url;
}

} // namespace
} // namespace tavrin::p5460
