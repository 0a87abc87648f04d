// The class list and class pages on hostile pages: the input's first part
// (up to 0x01) is a welcome page, the rest a class page, read by the real
// class-list code with all of its expressions. No exception escapes; every
// class taken has a safe, unrepeated id; every field is text of its page
// (or the name and count given); the display name holds no tag; the class
// information page is written only with a manager and only into its folder,
// and each value stays inside its script string there.
#include "core/model/SchoolClass.h"
#include "core/services/HtmlTags.h"
#include "fuzz/FuzzText.h"
#include "platform/base/Path.h"
#include "providers/5460/ClassList5460.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

using tavrin::p5460::ClassPageReading;

namespace {

bool Within(std::string_view page, const CString& piece)
{
    return page.find(piece.View()) != std::string_view::npos;
}

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = fuzz::TempFolder("tavrin-fuzz-class-page");
    return folder;
}

const char kTemplate[] =
    "<html><!--其他信息数据变量赋值开始--><script type=\"text/javascript\">\r\n"
    "var slogan = \"%s\";\r\nvar home_page = \"%s\";\r\nvar school_name = \"%s\";\r\n"
    "var class_name = \"%s\";\r\nvar manager = \"%s\";\r\nvar deputy = \"%s\";\r\n"
    "var member_count = \"%s\";\r\nvar visit_count = \"%s\";\r\n"
    "</script><!--其他信息数据变量赋值结束--></html>";

// Each filled line is one whole script string: it ends at its own closing
// quote (read as a GBK browser reads characters), with no line break and no
// "</" that could end the script element.
void CheckFilledPage(const std::string& page)
{
    size_t at = 0;
    int strings = 0;
    while ((at = page.find(" = \"", at)) != std::string::npos) {
        size_t p = at + 4;
        bool closed = false;
        while (p < page.size()) {
            char c = page[p];
            FUZZ_CHECK(c != '\r' && c != '\n');
            FUZZ_CHECK(page.compare(p, 2, "</") != 0);
            if (c == '"') {
                closed = true;
                break;
            }
            p += c == '\\' ? 2 : fuzz::BrowserCharLength(page, p);
        }
        FUZZ_CHECK(closed && page.compare(p, 4, "\";\r\n") == 0);
        ++strings;
        at = p;
    }
    FUZZ_CHECK(strings == 8);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\x01');
    const CString welcome(input.substr(0, cut));
    const CString classPage(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));
    // The searches read a NUL in a page as a blank.
    std::string welcomeText(welcome.View());
    std::string classText(classPage.View());
    for (std::string* text : {&welcomeText, &classText})
        for (char& c : *text)
            if (c == '\0')
                c = ' ';

    std::set<std::string> ids;
    for (const tavrin::p5460::ClassEntry& entry : tavrin::p5460::ReadClassLinks(welcome)) {
        FUZZ_CHECK(IsSafeClassId(entry.id));
        FUZZ_CHECK(ids.insert(entry.id.Str()).second);
        FUZZ_CHECK(Within(welcomeText, entry.id) && Within(welcomeText, entry.schoolName) &&
                   Within(welcomeText, entry.name));
        // No tag left, as the program reads tags (a lead byte takes the byte
        // after it, whatever it is).
        CString stripped = entry.displayName;
        StripHtmlTags(stripped);
        FUZZ_CHECK(stripped == entry.displayName);
    }

    const CString school("school"), name("name"), count("7");
    for (ClassPageReading reading : {ClassPageReading::ClassList, ClassPageReading::ClassInfo}) {
        std::vector<CString> values = tavrin::p5460::ReadClassInfo(classPage, reading, school, name, count);
        FUZZ_CHECK(values.size() == 8);
        FUZZ_CHECK(values[2] == school && values[3] == name);
        for (int i : {0, 1, 4, 5, 6})
            FUZZ_CHECK(Within(classText, values[i]));
        if (reading == ClassPageReading::ClassInfo)
            FUZZ_CHECK(Within(classText, values[7]));
        else
            FUZZ_CHECK(values[7].IsEmpty() || values[7].Right(2) == "/7");

        std::error_code error;
        std::filesystem::remove_all(Folder() / "301", error);
        std::filesystem::create_directories(Folder() / "301", error);
        const CString folder = tavrin::ProgramPath((Folder() / "301").string());
        bool written = tavrin::p5460::WriteClassInfoPage(kTemplate, folder, values);
        FUZZ_CHECK(written == !values[4].IsEmpty());
        if (written)
            CheckFilledPage(ReadFile(Folder() / "301" / "misc.htm"));
        for (auto& file : std::filesystem::recursive_directory_iterator(Folder(), error))
            FUZZ_CHECK(!file.is_regular_file() || file.path() == Folder() / "301" / "misc.htm");
    }
    return 0;
}
