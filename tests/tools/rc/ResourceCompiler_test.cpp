// The resource compiler: the bytes of each template kind and the errors it
// stops on, with their file and line.
#include "tests/support/TempDir.h"
#include "tools/rc/ResourceCompiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin;
using Bytes = std::vector<uint8_t>;

namespace {

// UTF-8 script text whatever the compiler's execution character set.
std::string Utf8(const char8_t* s)
{
    return std::string(reinterpret_cast<const char*>(s));
}

std::vector<rc::Resource> Compile(const test::TempDir& dir, const std::string& script)
{
    const auto path = dir.Write("test.rc", script);
    rc::ResourceCompiler compiler;
    compiler.Compile(path);
    return compiler.Finish();
}

Bytes Only(const std::vector<rc::Resource>& resources, uint16_t type)
{
    for (const auto& r : resources)
        if (r.type.id == type)
            return r.data;
    ADD_FAILURE() << "no resource of type " << type;
    return {};
}

// Words as little-endian bytes; a string as 16-bit units and a NUL.
void W(Bytes& b, std::initializer_list<uint32_t> words)
{
    for (uint32_t w : words) {
        b.push_back(static_cast<uint8_t>(w));
        b.push_back(static_cast<uint8_t>(w >> 8));
    }
}
void S(Bytes& b, const std::u16string& s)
{
    for (char16_t c : s)
        W(b, {c});
    W(b, {0});
}

} // namespace

TEST(ResourceCompiler, MenuTemplate)
{
    test::TempDir dir;
    auto r = Compile(dir, "1 MENU\nBEGIN\n POPUP \"&A\"\n BEGIN\n  MENUITEM \"B\", 5, GRAYED\n"
                          "  MENUITEM SEPARATOR\n END\n MENUITEM \"C\", 6, CHECKED\nEND\n");
    Bytes want;
    W(want, {0, 0});       // header
    W(want, {0x10});       // popup
    S(want, u"&A");
    W(want, {0x01, 5});    // grey item
    S(want, u"B");
    W(want, {0x80, 0, 0}); // separator, last of the popup
    W(want, {0x88, 6});    // checked, last of the menu
    S(want, u"C");
    EXPECT_EQ(Only(r, rc::kRtMenu), want);
}

TEST(ResourceCompiler, AcceleratorEntries)
{
    test::TempDir dir;
    auto r = Compile(dir, "1 ACCELERATORS\nBEGIN\n \"^C\", 10\n VK_F6, 11, VIRTKEY, SHIFT\n"
                          " \"a\", 12, VIRTKEY, CONTROL\n \"b\", 13, ASCII, NOINVERT, ALT\nEND\n");
    Bytes want;
    W(want, {0x00, 3, 10, 0});
    W(want, {0x05, 0x75, 11, 0});
    W(want, {0x09, 'A', 12, 0});
    W(want, {0x92, 'b', 13, 0}); // the last entry is marked
    EXPECT_EQ(Only(r, rc::kRtAccelerator), want);
}

TEST(ResourceCompiler, ToolbarWords)
{
    test::TempDir dir;
    auto r = Compile(dir, "#define IDT 9015\nIDT TOOLBAR 16, 15\nBEGIN\n BUTTON 7\n SEPARATOR\n BUTTON 8\nEND\n");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].name.id, 9015);
    Bytes want;
    W(want, {1, 16, 15, 3, 7, 0, 8});
    EXPECT_EQ(r[0].data, want);
}

TEST(ResourceCompiler, DialogTemplate)
{
    test::TempDir dir;
    auto r = Compile(dir, "1 DIALOG 1, 2, 30, 40\nSTYLE WS_POPUP\nCAPTION \"T\"\nFONT 8, \"F\"\nBEGIN\n"
                          " PUSHBUTTON \"O\", 3, 4, 5, 6, 7\n"
                          " CONTROL \"\", 9, \"SysTabControl32\", WS_TABSTOP | NOT WS_VISIBLE, 1, 1, 2, 2\nEND\n");
    Bytes want;
    W(want, {0x0040, 0x80C0, 0, 0, 2, 1, 2, 30, 40, 0, 0}); // style, exstyle, count, rect, menu, class
    S(want, u"T");
    W(want, {8});
    S(want, u"F");
    ASSERT_EQ(want.size() % 4, 0u);
    W(want, {0x0000, 0x5001, 0, 0, 4, 5, 6, 7, 3, 0xFFFF, 0x80}); // push button
    S(want, u"O");
    W(want, {0});
    while (want.size() % 4)
        want.push_back(0);
    W(want, {0x0000, 0x4001, 0, 0, 1, 1, 2, 2, 9}); // a child without WS_VISIBLE
    S(want, u"SysTabControl32");
    W(want, {0, 0});
    EXPECT_EQ(Only(r, rc::kRtDialog), want);
}

TEST(ResourceCompiler, DialogExTemplateWithClassIdControl)
{
    test::TempDir dir;
    auto r = Compile(dir, "1 DIALOGEX 0, 0, 10, 10, 77\nSTYLE DS_SETFONT | WS_CHILD\nEXSTYLE WS_EX_CONTROLPARENT\n"
                          "FONT 9, \"S\", 700, 1, 0x86\nBEGIN\n"
                          " CONTROL \"\", 5, \"{8856F961-340A-11D0-A96B-00C04FD705A2}\", 0, 1, 2, 3, 4, WS_EX_CLIENTEDGE, 6\n"
                          "END\n");
    Bytes want;
    W(want, {1, 0xFFFF, 77, 0, 0, 1, 0x0040, 0x4000, 1, 0, 0, 10, 10, 0, 0}); // helpid, exstyle, style...
    S(want, u"");
    W(want, {9, 700});
    want.push_back(1);
    want.push_back(0x86);
    S(want, u"S");
    while (want.size() % 4)
        want.push_back(0);
    W(want, {6, 0, 0x200, 0, 0, 0x5000, 1, 2, 3, 4, 5, 0}); // helpid, exstyle, style, rect, dword id
    S(want, u"{8856F961-340A-11D0-A96B-00C04FD705A2}");
    W(want, {0, 0});
    EXPECT_EQ(Only(r, rc::kRtDialog), want);
}

TEST(ResourceCompiler, StringBlocksHoldSixteenCountedStrings)
{
    test::TempDir dir;
    auto r = Compile(dir, Utf8(u8"STRINGTABLE\nBEGIN\n 17 \"ab\"\n 31, \"中\"\nEND\n"));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].type.id, rc::kRtString);
    EXPECT_EQ(r[0].name.id, 2); // ids 16 to 31
    Bytes want;
    W(want, {0, 2, 'a', 'b', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x4E2D});
    EXPECT_EQ(r[0].data, want);
}

TEST(ResourceCompiler, BitmapLosesItsFileHeaderOnly)
{
    test::TempDir dir;
    auto r = Compile(dir, "5 BITMAP \"" + test::Fixture("rc/depth24.bmp").string() + "\"\n");
    const std::string file = test::TempDir::Read(test::Fixture("rc/depth24.bmp"));
    const Bytes data = Only(r, rc::kRtBitmap);
    EXPECT_EQ(std::string(data.begin(), data.end()), file.substr(14));
}

TEST(ResourceCompiler, IconGroupNamesItsImages)
{
    test::TempDir dir;
    auto r = Compile(dir, "7 ICON \"" + test::Fixture("rc/sizes.ico").string() + "\"\n8 CURSOR \"" +
                              test::Fixture("rc/hotspot.cur").string() + "\"\n");
    int icons = 0, cursors = 0;
    for (const auto& res : r) {
        icons += res.type.id == rc::kRtIcon;
        cursors += res.type.id == rc::kRtCursor;
    }
    EXPECT_EQ(icons, 3);
    EXPECT_EQ(cursors, 1);
    const Bytes group = Only(r, rc::kRtGroupIcon);
    ASSERT_EQ(group.size(), 6u + 3 * 14);
    EXPECT_EQ(group[6 + 14 * 2], 48);      // third image 48 wide
    EXPECT_EQ(group[6 + 14 * 2 + 6], 32);  // of 32 bits
    EXPECT_EQ(group[6 + 14 * 2 + 12], 3);  // image id 3
    const Bytes cursor = Only(r, rc::kRtCursor);
    EXPECT_EQ(cursor[0], 5); // hot spot first
    EXPECT_EQ(cursor[2], 7);
}

TEST(ResourceCompiler, ErrorsNameFileAndLine)
{
    struct Case {
        std::string script;
        int line;
        std::string message;
    };
    const Case cases[] = {
        {"1 MENU\nBEGIN\n MENUITEM \"open, 5\nEND\n", 3, "unterminated string"},
        {"1 MENU\nBEGIN\n MENUITEM \"x\", NOPE\nEND\n", 3, "undefined symbol NOPE"},
        {"1 MENU\nBEGIN\n MENUITEM \"x\", 1\nEND\n\n1 MENU\nBEGIN\n MENUITEM \"y\", 2\nEND\n", 6,
         "duplicate resource 1 of type 4 (first at"},
        {"STRINGTABLE\nBEGIN\n 5 \"a\"\n 5 \"b\"\nEND\n", 4, "duplicate string 5"},
        {"1 WIDGET\n", 1, "unknown statement WIDGET"},
        {"1 MENU\nBEGIN\n MENUITEM \"x\", 1\n", 4, "missing END"},
        {Utf8(u8"STRINGTABLE\nBEGIN\n 1 \"\U0001F600\"\nEND\n"), 3, "GBK lacks"},
        {"1 ACCELERATORS\nBEGIN\n \"^1\", 5\nEND\n", 3, "must be a letter"},
        {"1 ACCELERATORS\nBEGIN\n \"ab\", 5\nEND\n", 3, "must be one character"},
        {"\n#include \"missing.h\"\n", 2, "cannot find missing.h"},
        {"#ifdef X\n1 MENU\n", 1, "#if without #endif"},
        {"1 BITMAP \"nothere.bmp\"\n", 1, "cannot find nothere.bmp"},
        {"1 DIALOG 0, 0, 10, 10\nBEGIN\n SLIDER 5, 0, 0, 1, 1\nEND\n", 3, "unknown control SLIDER"},
        {"1 TOOLBAR 16, 15\nBEGIN\n BUTTON 1\n KNOB 2\nEND\n", 4, "expected BUTTON or SEPARATOR"},
        {"\n1 MENU\nBEGIN\nEND\n", 2, "at least one item"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const auto path = dir.Write("bad.rc", c.script);
        rc::ResourceCompiler compiler;
        try {
            compiler.Compile(path);
            ADD_FAILURE() << "no error for: " << c.script;
        } catch (const rc::CompileError& e) {
            const std::string where = path.string() + ":" + std::to_string(c.line) + ": ";
            EXPECT_EQ(std::string(e.what()).rfind(where, 0), 0u) << e.what() << " for: " << c.script;
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(ResourceCompiler, TruncatedBitmapFails)
{
    test::TempDir dir;
    std::string file = test::TempDir::Read(test::Fixture("rc/depth24.bmp"));
    dir.Write("cut.bmp", file.substr(0, file.size() - 5));
    const auto path = dir.Write("bad.rc", "\n3 BITMAP \"cut.bmp\"\n");
    rc::ResourceCompiler compiler;
    try {
        compiler.Compile(path);
        ADD_FAILURE() << "a truncated bitmap compiled";
    } catch (const rc::CompileError& e) {
        EXPECT_EQ(e.where().line, 2);
        EXPECT_NE(std::string(e.what()).find("truncated"), std::string::npos) << e.what();
    }
}

TEST(ResourceCompiler, SameIdInTwoScriptsOfOneModuleFails)
{
    test::TempDir dir;
    const auto first = dir.Write("a.rc", "STRINGTABLE\nBEGIN\n 9000 \"toolkit\"\nEND\n");
    const auto second = dir.Write("b.rc", "STRINGTABLE\nBEGIN\n 9001 \"ok\"\n 9000 \"app\"\nEND\n");
    rc::ResourceCompiler compiler;
    compiler.Compile(first);
    try {
        compiler.Compile(second);
        ADD_FAILURE() << "the clash compiled";
    } catch (const rc::CompileError& e) {
        EXPECT_EQ(e.where().file, second.string());
        EXPECT_EQ(e.where().line, 4);
    }
}

TEST(ResourceCompiler, PreprocessorTakesHeadersAndConditions)
{
    test::TempDir dir;
    dir.Write("ids.h", "#pragma once\n#define BASE 100\n#define ID_ONE (BASE + 1)\nint code_is_ignored(void);\n");
    auto r = Compile(dir, "#include \"ids.h\"\n#if defined(BASE) && BASE > 50\nID_ONE MENU\n#else\n2 MENU\n#endif\n"
                          "BEGIN\n MENUITEM \"x\", ID_ONE | 0x10\nEND\n");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].name.id, 101);
    Bytes want;
    W(want, {0, 0, 0x80, 117, 'x', 0});
    EXPECT_EQ(r[0].data, want);
}
