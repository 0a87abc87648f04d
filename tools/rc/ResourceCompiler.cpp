#include "tools/rc/ResourceCompiler.h"

#include "platform/base/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tavrin::rc {

namespace fs = std::filesystem;

namespace {

// Symbols every script may use without including anything.
const std::pair<const char*, uint32_t> kPredefined[] = {
    {"WS_OVERLAPPED", 0}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000}, {"WS_MINIMIZE", 0x20000000},
    {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000}, {"WS_CLIPSIBLINGS", 0x04000000},
    {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", 0x00C00000},
    {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000},
    {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000}, {"WS_THICKFRAME", 0x00040000},
    {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000}, {"WS_MINIMIZEBOX", 0x00020000},
    {"WS_MAXIMIZEBOX", 0x00010000}, {"WS_OVERLAPPEDWINDOW", 0x00CF0000}, {"WS_POPUPWINDOW", 0x80880000},
    {"WS_EX_DLGMODALFRAME", 0x1}, {"WS_EX_NOPARENTNOTIFY", 0x4}, {"WS_EX_TOPMOST", 0x8},
    {"WS_EX_ACCEPTFILES", 0x10}, {"WS_EX_TRANSPARENT", 0x20}, {"WS_EX_TOOLWINDOW", 0x80},
    {"WS_EX_WINDOWEDGE", 0x100}, {"WS_EX_CLIENTEDGE", 0x200}, {"WS_EX_CONTEXTHELP", 0x400},
    {"WS_EX_RIGHT", 0x1000}, {"WS_EX_RTLREADING", 0x2000}, {"WS_EX_LEFTSCROLLBAR", 0x4000},
    {"WS_EX_CONTROLPARENT", 0x10000}, {"WS_EX_STATICEDGE", 0x20000}, {"WS_EX_APPWINDOW", 0x40000},
    {"DS_ABSALIGN", 0x1}, {"DS_SYSMODAL", 0x2}, {"DS_3DLOOK", 0x4}, {"DS_FIXEDSYS", 0x8},
    {"DS_NOFAILCREATE", 0x10}, {"DS_LOCALEDIT", 0x20}, {"DS_SETFONT", 0x40}, {"DS_MODALFRAME", 0x80},
    {"DS_NOIDLEMSG", 0x100}, {"DS_SETFOREGROUND", 0x200}, {"DS_CONTROL", 0x400}, {"DS_CENTER", 0x800},
    {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x48},
    {"BS_PUSHBUTTON", 0x0}, {"BS_DEFPUSHBUTTON", 0x1}, {"BS_CHECKBOX", 0x2}, {"BS_AUTOCHECKBOX", 0x3},
    {"BS_RADIOBUTTON", 0x4}, {"BS_3STATE", 0x5}, {"BS_AUTO3STATE", 0x6}, {"BS_GROUPBOX", 0x7},
    {"BS_USERBUTTON", 0x8}, {"BS_AUTORADIOBUTTON", 0x9}, {"BS_PUSHBOX", 0xA}, {"BS_OWNERDRAW", 0xB},
    {"BS_LEFTTEXT", 0x20}, {"BS_ICON", 0x40}, {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200},
    {"BS_CENTER", 0x300}, {"BS_TOP", 0x400}, {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00},
    {"BS_PUSHLIKE", 0x1000}, {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000}, {"BS_FLAT", 0x8000},
    {"ES_LEFT", 0x0}, {"ES_CENTER", 0x1}, {"ES_RIGHT", 0x2}, {"ES_MULTILINE", 0x4}, {"ES_UPPERCASE", 0x8},
    {"ES_LOWERCASE", 0x10}, {"ES_PASSWORD", 0x20}, {"ES_AUTOVSCROLL", 0x40}, {"ES_AUTOHSCROLL", 0x80},
    {"ES_NOHIDESEL", 0x100}, {"ES_OEMCONVERT", 0x400}, {"ES_READONLY", 0x800}, {"ES_WANTRETURN", 0x1000},
    {"ES_NUMBER", 0x2000}, {"ES_DISABLENOSCROLL", 0x2000}, {"ES_SUNKEN", 0x4000}, {"ES_SAVESEL", 0x8000},
    {"ES_SELECTIONBAR", 0x01000000},
    {"SS_LEFT", 0x0}, {"SS_CENTER", 0x1}, {"SS_RIGHT", 0x2}, {"SS_ICON", 0x3}, {"SS_BLACKRECT", 0x4},
    {"SS_GRAYRECT", 0x5}, {"SS_WHITERECT", 0x6}, {"SS_BLACKFRAME", 0x7}, {"SS_GRAYFRAME", 0x8},
    {"SS_WHITEFRAME", 0x9}, {"SS_SIMPLE", 0xB}, {"SS_LEFTNOWORDWRAP", 0xC}, {"SS_OWNERDRAW", 0xD},
    {"SS_BITMAP", 0xE}, {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11}, {"SS_ETCHEDFRAME", 0x12},
    {"SS_NOPREFIX", 0x80}, {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200}, {"SS_RIGHTJUST", 0x400},
    {"SS_SUNKEN", 0x1000}, {"SS_ENDELLIPSIS", 0x4000}, {"SS_PATHELLIPSIS", 0x8000}, {"SS_WORDELLIPSIS", 0xC000},
    {"LBS_NOTIFY", 0x1}, {"LBS_SORT", 0x2}, {"LBS_NOREDRAW", 0x4}, {"LBS_MULTIPLESEL", 0x8},
    {"LBS_OWNERDRAWFIXED", 0x10}, {"LBS_OWNERDRAWVARIABLE", 0x20}, {"LBS_HASSTRINGS", 0x40},
    {"LBS_USETABSTOPS", 0x80}, {"LBS_NOINTEGRALHEIGHT", 0x100}, {"LBS_MULTICOLUMN", 0x200},
    {"LBS_WANTKEYBOARDINPUT", 0x400}, {"LBS_EXTENDEDSEL", 0x800}, {"LBS_DISABLENOSCROLL", 0x1000},
    {"LBS_NODATA", 0x2000}, {"LBS_NOSEL", 0x4000}, {"LBS_STANDARD", 0xA00003},
    {"CBS_SIMPLE", 0x1}, {"CBS_DROPDOWN", 0x2}, {"CBS_DROPDOWNLIST", 0x3}, {"CBS_OWNERDRAWFIXED", 0x10},
    {"CBS_OWNERDRAWVARIABLE", 0x20}, {"CBS_AUTOHSCROLL", 0x40}, {"CBS_OEMCONVERT", 0x80}, {"CBS_SORT", 0x100},
    {"CBS_HASSTRINGS", 0x200}, {"CBS_NOINTEGRALHEIGHT", 0x400}, {"CBS_DISABLENOSCROLL", 0x800},
    {"CBS_UPPERCASE", 0x2000}, {"CBS_LOWERCASE", 0x4000}, {"SBS_HORZ", 0x0}, {"SBS_VERT", 0x1},
    {"LVS_ICON", 0x0}, {"LVS_REPORT", 0x1}, {"LVS_SMALLICON", 0x2}, {"LVS_LIST", 0x3}, {"LVS_SINGLESEL", 0x4},
    {"LVS_SHOWSELALWAYS", 0x8}, {"LVS_SORTASCENDING", 0x10}, {"LVS_SORTDESCENDING", 0x20},
    {"LVS_SHAREIMAGELISTS", 0x40}, {"LVS_NOLABELWRAP", 0x80}, {"LVS_AUTOARRANGE", 0x100},
    {"LVS_EDITLABELS", 0x200}, {"LVS_OWNERDRAWFIXED", 0x400}, {"LVS_ALIGNLEFT", 0x800},
    {"LVS_OWNERDATA", 0x1000}, {"LVS_NOSCROLL", 0x2000}, {"LVS_NOCOLUMNHEADER", 0x4000},
    {"LVS_NOSORTHEADER", 0x8000}, {"TVS_HASBUTTONS", 0x1}, {"TVS_HASLINES", 0x2}, {"TVS_LINESATROOT", 0x4},
    {"TVS_EDITLABELS", 0x8}, {"TVS_DISABLEDRAGDROP", 0x10}, {"TVS_SHOWSELALWAYS", 0x20},
    {"TVS_TRACKSELECT", 0x200}, {"TVS_FULLROWSELECT", 0x1000}, {"TCS_TABS", 0x0}, {"TCS_BOTTOM", 0x2},
    {"TCS_MULTILINE", 0x200}, {"TCS_FOCUSNEVER", 0x8000}, {"PBS_SMOOTH", 0x1}, {"PBS_VERTICAL", 0x4},
    {"DTS_SHORTDATEFORMAT", 0x0}, {"DTS_UPDOWN", 0x1}, {"DTS_SHOWNONE", 0x2}, {"DTS_LONGDATEFORMAT", 0x4},
    {"DTS_TIMEFORMAT", 0x9}, {"DTS_RIGHTALIGN", 0x20}, {"UDS_WRAP", 0x1}, {"UDS_SETBUDDYINT", 0x2},
    {"UDS_ALIGNRIGHT", 0x4}, {"UDS_ALIGNLEFT", 0x8}, {"UDS_AUTOBUDDY", 0x10}, {"UDS_ARROWKEYS", 0x20},
    {"UDS_HORZ", 0x40}, {"UDS_NOTHOUSANDS", 0x80},
    {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6}, {"IDNO", 7},
    {"IDCLOSE", 8}, {"IDHELP", 9},
    {"VK_BACK", 0x08}, {"VK_TAB", 0x09}, {"VK_CLEAR", 0x0C}, {"VK_RETURN", 0x0D}, {"VK_SHIFT", 0x10},
    {"VK_CONTROL", 0x11}, {"VK_MENU", 0x12}, {"VK_PAUSE", 0x13}, {"VK_CAPITAL", 0x14}, {"VK_ESCAPE", 0x1B},
    {"VK_SPACE", 0x20}, {"VK_PRIOR", 0x21}, {"VK_NEXT", 0x22}, {"VK_END", 0x23}, {"VK_HOME", 0x24},
    {"VK_LEFT", 0x25}, {"VK_UP", 0x26}, {"VK_RIGHT", 0x27}, {"VK_DOWN", 0x28}, {"VK_SELECT", 0x29},
    {"VK_PRINT", 0x2A}, {"VK_EXECUTE", 0x2B}, {"VK_SNAPSHOT", 0x2C}, {"VK_INSERT", 0x2D}, {"VK_DELETE", 0x2E},
    {"VK_HELP", 0x2F}, {"VK_APPS", 0x5D}, {"VK_MULTIPLY", 0x6A}, {"VK_ADD", 0x6B}, {"VK_SEPARATOR", 0x6C},
    {"VK_F1", 0x70}, {"VK_F2", 0x71}, {"VK_F3", 0x72}, {"VK_F4", 0x73}, {"VK_F5", 0x74}, {"VK_F6", 0x75},
    {"VK_F7", 0x76}, {"VK_F8", 0x77}, {"VK_F9", 0x78}, {"VK_F10", 0x79}, {"VK_F11", 0x7A}, {"VK_F12", 0x7B},
    {"VK_NUMPAD0", 0x60}, {"VK_NUMPAD9", 0x69}, {"VK_SUBTRACT", 0x6D}, {"VK_DECIMAL", 0x6E}, {"VK_DIVIDE", 0x6F},
    {"VK_NUMLOCK", 0x90}, {"VK_SCROLL", 0x91},
};

struct Flags {
    uint32_t set = 0;
    uint32_t clear = 0;
    bool given = false;
    uint32_t Apply(uint32_t base) const { return (base | set) & ~clear; }
};

bool Keyword(const Token& t, const char* word)
{
    if (t.kind != TokenKind::Name)
        return false;
    const std::string& s = t.text;
    size_t n = std::char_traits<char>::length(word);
    if (s.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(s[i])) != word[i])
            return false;
    return true;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// UTF-8 script text to 16-bit units, refusing what GBK cannot hold.
std::u16string ToUnits(const std::string& utf8, const Where& where)
{
    if (utf8.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    if (n <= 0)
        throw CompileError(where, "text is not UTF-8");
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(CP_GBK, 0, wide.data(), n, nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        throw CompileError(where, "text has characters GBK lacks: \"" + utf8 + "\"");
    std::u16string units;
    for (wchar_t c : wide) {
        if (c > 0xFFFF) // GBK lies in the Basic Multilingual Plane
            throw CompileError(where, "text has characters GBK lacks: \"" + utf8 + "\"");
        units += static_cast<char16_t>(c);
    }
    return units;
}

class Writer {
public:
    std::vector<uint8_t> bytes;
    void Word(uint32_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void Dword(uint32_t v)
    {
        Word(v & 0xFFFF);
        Word(v >> 16);
    }
    void Byte(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void Units(const std::u16string& s)
    {
        for (char16_t c : s)
            Word(c);
        Word(0);
    }
    void Align4()
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
};

std::vector<uint8_t> ReadBinary(const fs::path& path, const Where& where)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError(where, "cannot read " + path.string());
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string s = ss.str();
    return std::vector<uint8_t>(s.begin(), s.end());
}

uint32_t Le16(const std::vector<uint8_t>& d, size_t at) { return d[at] | (uint32_t(d[at + 1]) << 8); }
uint32_t Le32(const std::vector<uint8_t>& d, size_t at) { return Le16(d, at) | (Le16(d, at + 2) << 16); }

// Bytes a DIB needs: header, colour table, rows. 0 when the header is bad.
size_t DibBytes(const std::vector<uint8_t>& d, size_t at, size_t limit, bool iconImage, int* bitCount)
{
    if (limit < at + 40)
        return 0;
    const uint32_t headerSize = Le32(d, at);
    if (headerSize < 40 || limit < at + headerSize)
        return 0;
    const int32_t width = static_cast<int32_t>(Le32(d, at + 4));
    int32_t height = static_cast<int32_t>(Le32(d, at + 8));
    const uint32_t bpp = Le16(d, at + 14);
    const uint32_t compression = Le32(d, at + 16);
    uint32_t used = Le32(d, at + 32);
    if (width <= 0 || height == 0 || width > 4096 || height > 8192 || height < -4096)
        return 0;
    if (!(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32))
        return 0;
    if (compression != 0 && compression != 3) // BI_RGB and BI_BITFIELDS only
        return 0;
    if (bitCount)
        *bitCount = static_cast<int>(bpp);
    if (height < 0)
        height = -height;
    uint64_t colours = bpp <= 8 ? (used ? used : (1u << bpp)) : used;
    if (colours > 256)
        return 0;
    uint64_t size = headerSize + colours * 4 + (compression == 3 && headerSize == 40 ? 12 : 0);
    const uint64_t row = ((uint64_t(width) * bpp + 31) / 32) * 4;
    if (iconImage) {
        // XOR image and AND mask share the doubled height.
        const uint64_t h = uint64_t(height) / 2;
        const uint64_t maskRow = ((uint64_t(width) + 31) / 32) * 4;
        size += row * h + maskRow * h;
    } else {
        size += row * uint64_t(height);
    }
    return size;
}

} // namespace

class ResourceCompiler::Parser {
public:
    Parser(ResourceCompiler& owner, ScriptReader& reader, std::vector<Token> tokens, fs::path dir)
        : m_owner(owner), m_reader(reader), m_tokens(std::move(tokens)), m_dir(std::move(dir))
    {
    }

    void Run()
    {
        while (Peek().kind != TokenKind::End)
            Statement();
    }

private:
    const Token& Peek(size_t ahead = 0) const
    {
        size_t i = std::min(m_pos + ahead, m_tokens.size() - 1);
        return m_tokens[i];
    }
    const Token& Next()
    {
        const Token& t = Peek();
        if (m_pos < m_tokens.size() - 1)
            ++m_pos;
        return t;
    }
    bool IsPunct(const char* p, size_t ahead = 0) const
    {
        return Peek(ahead).kind == TokenKind::Punct && Peek(ahead).text == p;
    }
    [[noreturn]] void Fail(const std::string& message) const { throw CompileError(Peek().where, message); }
    std::string Describe(const Token& t) const
    {
        return t.kind == TokenKind::End ? "end of file" : t.kind == TokenKind::String ? "\"" + t.text + "\"" : t.text;
    }
    void Expect(const char* p)
    {
        if (!IsPunct(p))
            Fail(std::string("expected '") + p + "' before " + Describe(Peek()));
        Next();
    }
    void Comma()
    {
        if (!IsPunct(","))
            Fail("expected ',' before " + Describe(Peek()));
        Next();
    }
    bool OptionalComma()
    {
        if (!IsPunct(","))
            return false;
        Next();
        return true;
    }
    void Begin()
    {
        if (Keyword(Peek(), "BEGIN") || IsPunct("{")) {
            Next();
            return;
        }
        Fail("expected BEGIN before " + Describe(Peek()));
    }
    bool AtEnd() const
    {
        if (Peek().kind == TokenKind::End)
            throw CompileError(Peek().where, "missing END");
        return Keyword(Peek(), "END") || IsPunct("}");
    }
    std::string String()
    {
        if (Peek().kind != TokenKind::String)
            Fail("expected a string before " + Describe(Peek()));
        return Next().text;
    }
    void SkipMemoryFlags()
    {
        static const char* const kFlags[] = {"DISCARDABLE", "MOVEABLE", "PURE", "IMPURE", "PRELOAD", "LOADONCALL",
                                             "FIXED", "SHARED", "NONSHARED"};
        for (;;) {
            bool any = false;
            for (const char* f : kFlags)
                if (Keyword(Peek(), f)) {
                    Next();
                    any = true;
                }
            if (!any)
                return;
        }
    }

    // Integer expressions: | & + - * /, unary - ~ and NOT, parentheses, symbols.
    int64_t Value() { return Binary(0); }
    int64_t Binary(int level)
    {
        static const std::vector<std::vector<std::string>> kLevels = {{"|"}, {"&"}, {"+", "-"}, {"*", "/"}};
        if (level >= static_cast<int>(kLevels.size()))
            return Unary();
        int64_t v = Binary(level + 1);
        for (;;) {
            const Token& t = Peek();
            const auto& ops = kLevels[static_cast<size_t>(level)];
            if (t.kind != TokenKind::Punct || std::find(ops.begin(), ops.end(), t.text) == ops.end())
                return v;
            const std::string op = Next().text;
            int64_t r = Binary(level + 1);
            if (op == "|") v |= r;
            else if (op == "&") v &= r;
            else if (op == "+") v += r;
            else if (op == "-") v -= r;
            else if (op == "*") v *= r;
            else {
                if (r == 0)
                    Fail("division by zero");
                v /= r;
            }
        }
    }
    int64_t Unary()
    {
        const Token& t = Peek();
        if (t.kind == TokenKind::Number) {
            Next();
            return t.number;
        }
        if (t.kind == TokenKind::Name && !Keyword(t, "NOT")) {
            int64_t v = 0;
            if (!m_reader.Lookup(t.text, v, t.where))
                Fail("undefined symbol " + t.text);
            Next();
            return v;
        }
        if (IsPunct("(")) {
            Next();
            int64_t v = Value();
            Expect(")");
            return v;
        }
        if (IsPunct("-")) {
            Next();
            return -Unary();
        }
        if (IsPunct("~") || Keyword(t, "NOT")) {
            Next();
            return ~Unary();
        }
        Fail("expected a number before " + Describe(t));
    }
    int32_t Int16Value()
    {
        const Where where = Peek().where;
        int64_t v = Value();
        if (v < -32768 || v > 65535)
            throw CompileError(where, "value out of range: " + std::to_string(v));
        return static_cast<int32_t>(v);
    }
    // Style lists: "A | B | NOT C".
    Flags StyleFlags()
    {
        Flags f;
        f.given = true;
        for (;;) {
            if (Keyword(Peek(), "NOT")) {
                Next();
                f.clear |= static_cast<uint32_t>(Unary());
            } else {
                uint32_t v = static_cast<uint32_t>(Binary(1));
                f.set |= v;
                f.clear &= ~v;
            }
            if (!IsPunct("|"))
                return f;
            Next();
        }
    }

    ResName Name()
    {
        const Token& t = Peek();
        ResName n;
        if (t.kind == TokenKind::Number || IsPunct("(") || IsPunct("-")) {
            n.id = static_cast<uint16_t>(Int16Value());
            return n;
        }
        if (t.kind == TokenKind::Name) {
            int64_t v = 0;
            if (m_reader.Lookup(t.text, v, t.where)) {
                Next();
                n.id = static_cast<uint16_t>(v);
                return n;
            }
            Next();
            n.name = Upper(t.text);
            return n;
        }
        if (t.kind == TokenKind::String) {
            Next();
            n.name = Upper(t.text);
            return n;
        }
        Fail("expected a resource name before " + Describe(t));
    }

    void Statement()
    {
        const Token& first = Peek();
        if (Keyword(first, "STRINGTABLE")) {
            Next();
            StringTable();
            return;
        }
        if (Keyword(first, "LANGUAGE")) {
            Next();
            SkipPair();
            return;
        }
        if (first.kind == TokenKind::Punct)
            Fail("unexpected " + Describe(first));
        const Where where = first.where;
        ResName name = Name();
        const Token& type = Next();
        Resource r;
        r.name = name;
        r.where = where;
        if (Keyword(type, "MENU")) {
            r.type.id = kRtMenu;
            r.data = Menu(where);
        } else if (Keyword(type, "DIALOG") || Keyword(type, "DIALOGEX")) {
            r.type.id = kRtDialog;
            r.data = Dialog(Keyword(type, "DIALOGEX"));
        } else if (Keyword(type, "ACCELERATORS")) {
            r.type.id = kRtAccelerator;
            r.data = Accelerators();
        } else if (Keyword(type, "TOOLBAR")) {
            r.type.id = kRtToolbar;
            r.data = Toolbar();
        } else if (Keyword(type, "BITMAP")) {
            r.type.id = kRtBitmap;
            r.data = BitmapFile();
        } else if (Keyword(type, "ICON") || Keyword(type, "CURSOR")) {
            IconFile(name, where, Keyword(type, "CURSOR"));
            return;
        } else {
            throw CompileError(type.where, "unknown statement " + Describe(type));
        }
        m_owner.Add(std::move(r));
    }

    void SkipPair()
    {
        Value();
        Comma();
        Value();
    }

    void StringTable()
    {
        SkipMemoryFlags();
        while (!Keyword(Peek(), "BEGIN") && !IsPunct("{")) {
            // CHARACTERISTICS, VERSION, LANGUAGE before the block
            if (Keyword(Peek(), "LANGUAGE")) {
                Next();
                SkipPair();
            } else if (Keyword(Peek(), "CHARACTERISTICS") || Keyword(Peek(), "VERSION")) {
                Next();
                Value();
            } else {
                Fail("expected BEGIN before " + Describe(Peek()));
            }
        }
        Begin();
        while (!AtEnd()) {
            const Where where = Peek().where;
            const int64_t id = Value();
            if (id < 0 || id > 0xFFFF)
                throw CompileError(where, "string id out of range: " + std::to_string(id));
            OptionalComma();
            const Where textWhere = Peek().where;
            std::u16string text = ToUnits(String(), textWhere);
            if (text.size() > 0xFFFF)
                throw CompileError(textWhere, "string too long");
            auto& strings = m_owner.m_strings;
            auto it = strings.find(static_cast<uint16_t>(id));
            if (it != strings.end())
                throw CompileError(where, "duplicate string " + std::to_string(id) + " (first at " +
                                              it->second.where.file + ":" +
                                              std::to_string(it->second.where.line) + ")");
            strings[static_cast<uint16_t>(id)] = {std::move(text), where};
        }
        Next();
    }

    uint32_t MenuOptions()
    {
        uint32_t flags = 0;
        for (;;) {
            OptionalComma();
            const Token& t = Peek();
            if (Keyword(t, "CHECKED")) flags |= 0x8;
            else if (Keyword(t, "GRAYED")) flags |= 0x1;
            else if (Keyword(t, "INACTIVE")) flags |= 0x2;
            else if (Keyword(t, "MENUBREAK")) flags |= 0x40;
            else if (Keyword(t, "MENUBARBREAK")) flags |= 0x20;
            else if (Keyword(t, "HELP")) flags |= 0x4000;
            else return flags;
            Next();
        }
    }

    // The items of one level; the last carries MF_END.
    void MenuItems(Writer& w, int depth)
    {
        if (depth > 16)
            Fail("menu nested too deeply");
        Begin();
        size_t lastFlags = std::string::npos;
        while (!AtEnd()) {
            const Token& t = Next();
            if (Keyword(t, "POPUP")) {
                const Where where = Peek().where;
                std::u16string text = ToUnits(String(), where);
                uint32_t flags = MenuOptions() | 0x10;
                lastFlags = w.bytes.size();
                w.Word(flags);
                w.Units(text);
                MenuItems(w, depth + 1);
            } else if (Keyword(t, "MENUITEM")) {
                if (Keyword(Peek(), "SEPARATOR")) {
                    Next();
                    lastFlags = w.bytes.size();
                    w.Word(0);
                    w.Word(0);
                    w.Word(0);
                    continue;
                }
                const Where where = Peek().where;
                std::u16string text = ToUnits(String(), where);
                Comma();
                const int32_t id = Int16Value();
                const uint32_t flags = MenuOptions();
                lastFlags = w.bytes.size();
                w.Word(flags);
                w.Word(static_cast<uint32_t>(id) & 0xFFFF);
                w.Units(text);
            } else {
                throw CompileError(t.where, "expected MENUITEM or POPUP before " + Describe(t));
            }
        }
        Next();
        if (lastFlags == std::string::npos)
            return; // an empty popup: nothing to mark
        w.bytes[lastFlags] |= 0x80;
    }

    std::vector<uint8_t> Menu(const Where& where)
    {
        SkipMemoryFlags();
        Writer w;
        w.Word(0); // version
        w.Word(0); // header size
        const size_t start = w.bytes.size();
        MenuItems(w, 0);
        if (w.bytes.size() == start)
            throw CompileError(where, "a menu needs at least one item");
        return w.bytes;
    }

    std::vector<uint8_t> Accelerators()
    {
        SkipMemoryFlags();
        Begin();
        Writer w;
        while (!AtEnd()) {
            const Token& event = Peek();
            const Where where = event.where;
            uint32_t key = 0;
            bool fromString = false;
            std::string text;
            if (event.kind == TokenKind::String) {
                text = Next().text;
                fromString = true;
            } else {
                key = static_cast<uint32_t>(Value());
            }
            Comma();
            const int32_t id = Int16Value();
            uint32_t flags = 0;
            bool virtKey = false, ascii = false;
            while (OptionalComma()) {
                const Token& o = Next();
                if (Keyword(o, "VIRTKEY")) virtKey = true;
                else if (Keyword(o, "ASCII")) ascii = true;
                else if (Keyword(o, "NOINVERT")) flags |= 0x02;
                else if (Keyword(o, "SHIFT")) flags |= 0x04;
                else if (Keyword(o, "CONTROL")) flags |= 0x08;
                else if (Keyword(o, "ALT")) flags |= 0x10;
                else throw CompileError(o.where, "unknown accelerator option " + Describe(o));
            }
            if (virtKey && ascii)
                throw CompileError(where, "an accelerator is VIRTKEY or ASCII, not both");
            if (virtKey)
                flags |= 0x01;
            if (fromString) {
                if (text.size() == 2 && text[0] == '^') {
                    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
                    if (c < 'A' || c > 'Z')
                        throw CompileError(where, "control character \"" + text + "\" must be a letter");
                    if (virtKey)
                        throw CompileError(where, "\"" + text + "\" cannot be a VIRTKEY");
                    key = static_cast<uint32_t>(c - '@');
                } else if (text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x80) {
                    key = static_cast<unsigned char>(text[0]);
                    if (virtKey)
                        key = static_cast<uint32_t>(std::toupper(static_cast<int>(key)));
                } else {
                    throw CompileError(where, "accelerator key \"" + text + "\" must be one character");
                }
            } else if (key > 0xFFFF) {
                throw CompileError(where, "accelerator key out of range");
            }
            w.Word(flags);
            w.Word(key);
            w.Word(static_cast<uint32_t>(id) & 0xFFFF);
            w.Word(0);
        }
        Next();
        if (w.bytes.empty())
            Fail("an accelerator table needs at least one entry");
        w.bytes[w.bytes.size() - 8] |= 0x80;
        return w.bytes;
    }

    std::vector<uint8_t> Toolbar()
    {
        SkipMemoryFlags();
        const int32_t cx = Int16Value();
        Comma();
        const int32_t cy = Int16Value();
        Begin();
        std::vector<uint32_t> ids;
        while (!AtEnd()) {
            const Token& t = Next();
            if (Keyword(t, "BUTTON"))
                ids.push_back(static_cast<uint32_t>(Int16Value()) & 0xFFFF);
            else if (Keyword(t, "SEPARATOR"))
                ids.push_back(0);
            else
                throw CompileError(t.where, "expected BUTTON or SEPARATOR before " + Describe(t));
        }
        Next();
        Writer w;
        w.Word(1);
        w.Word(static_cast<uint32_t>(cx));
        w.Word(static_cast<uint32_t>(cy));
        w.Word(static_cast<uint32_t>(ids.size()));
        for (uint32_t id : ids)
            w.Word(id);
        return w.bytes;
    }

    fs::path FileName()
    {
        SkipMemoryFlags();
        const Where where = Peek().where;
        std::string name;
        if (Peek().kind == TokenKind::String)
            name = Next().text;
        else if (Peek().kind == TokenKind::Name)
            name = Next().text;
        else
            Fail("expected a file name before " + Describe(Peek()));
        std::vector<fs::path> candidates{m_dir / name};
        for (const auto& d : m_owner.m_includeDirs)
            candidates.push_back(d / name);
        for (const auto& c : candidates)
            if (fs::is_regular_file(c))
                return c;
        throw CompileError(where, "cannot find " + name);
    }

    std::vector<uint8_t> BitmapFile()
    {
        const Where where = Peek().where;
        const fs::path path = FileName();
        std::vector<uint8_t> d = ReadBinary(path, where);
        if (d.size() < 14 + 40 || d[0] != 'B' || d[1] != 'M')
            throw CompileError(where, path.filename().string() + " is not a bitmap");
        const uint32_t offBits = Le32(d, 10);
        const size_t need = DibBytes(d, 14, d.size(), false, nullptr);
        if (!need)
            throw CompileError(where, path.filename().string() + " has a bitmap header we cannot read");
        // The rows start where the file says; the resource keeps them right
        // after the colour table, as loaders expect.
        const int32_t width = static_cast<int32_t>(Le32(d, 18));
        int32_t height = static_cast<int32_t>(Le32(d, 22));
        height = height < 0 ? -height : height;
        const uint32_t bpp = Le16(d, 28);
        const uint64_t rowBytes = ((uint64_t(width) * bpp + 31) / 32) * 4 * uint64_t(height);
        const uint64_t tableEnd = 14 + (need - rowBytes);
        if (offBits < tableEnd || offBits + rowBytes > d.size())
            throw CompileError(where, path.filename().string() + " is truncated");
        std::vector<uint8_t> out(d.begin() + 14, d.begin() + static_cast<long>(tableEnd));
        out.insert(out.end(), d.begin() + offBits, d.begin() + static_cast<long>(offBits + rowBytes));
        return out;
    }

    void IconFile(const ResName& name, const Where& where, bool cursor)
    {
        const fs::path path = FileName();
        std::vector<uint8_t> d = ReadBinary(path, where);
        const std::string file = path.filename().string();
        if (d.size() < 6 || Le16(d, 0) != 0 || Le16(d, 2) != (cursor ? 2u : 1u))
            throw CompileError(where, file + (cursor ? " is not a cursor file" : " is not an icon file"));
        const uint32_t count = Le16(d, 4);
        if (count == 0 || d.size() < 6 + 16 * size_t(count))
            throw CompileError(where, file + " is truncated");
        Writer group;
        group.Word(0);
        group.Word(cursor ? 2 : 1);
        group.Word(count);
        for (uint32_t i = 0; i < count; ++i) {
            const size_t e = 6 + 16 * size_t(i);
            const uint32_t width = d[e] ? d[e] : 256, height = d[e + 1] ? d[e + 1] : 256;
            const uint32_t bytes = Le32(d, e + 8), offset = Le32(d, e + 12);
            if (uint64_t(offset) + bytes > d.size() || bytes < 40)
                throw CompileError(where, file + " is truncated");
            int bitCount = 0;
            const size_t need = DibBytes(d, offset, offset + bytes, true, &bitCount);
            if (!need || need > bytes)
                throw CompileError(where, file + " has an image we cannot read");
            Resource image;
            image.where = where;
            image.type.id = cursor ? kRtCursor : kRtIcon;
            const uint16_t imageId = cursor ? m_owner.m_nextCursor++ : m_owner.m_nextIcon++;
            image.name.id = imageId;
            Writer data;
            if (cursor) {
                data.Word(Le16(d, e + 4)); // hot spot
                data.Word(Le16(d, e + 6));
            }
            data.bytes.insert(data.bytes.end(), d.begin() + offset, d.begin() + offset + bytes);
            const uint32_t size = static_cast<uint32_t>(data.bytes.size());
            image.data = std::move(data.bytes);
            m_owner.Add(std::move(image));
            if (cursor) {
                group.Word(width);
                group.Word(height * 2);
                group.Word(1);
                group.Word(static_cast<uint32_t>(bitCount));
            } else {
                group.Byte(d[e]);
                group.Byte(d[e + 1]);
                group.Byte(d[e + 2]);
                group.Byte(0);
                group.Word(1);
                group.Word(static_cast<uint32_t>(bitCount));
            }
            group.Dword(size);
            group.Word(imageId);
        }
        Resource r;
        r.type.id = cursor ? kRtGroupCursor : kRtGroupIcon;
        r.name = name;
        r.where = where;
        r.data = std::move(group.bytes);
        m_owner.Add(std::move(r));
    }

    // A name or ordinal field of a template: 0, 0xFFFF + ordinal, or a string.
    void NameOrOrdinal(Writer& w, const Token& t)
    {
        if (t.kind == TokenKind::String) {
            w.Units(ToUnits(t.text, t.where));
            return;
        }
        int64_t v = 0;
        if (t.kind == TokenKind::Number)
            v = t.number;
        else if (!m_reader.Lookup(t.text, v, t.where)) {
            w.Units(ToUnits(Upper(t.text), t.where));
            return;
        }
        w.Word(0xFFFF);
        w.Word(static_cast<uint32_t>(v) & 0xFFFF);
    }

    struct Control {
        Where where;
        uint32_t style = 0, exStyle = 0, helpId = 0;
        int32_t x = 0, y = 0, cx = 0, cy = 0;
        uint32_t id = 0;
        Token text;      // string, or a number for an ordinal; kind End for none
        std::string className;
        uint16_t classAtom = 0;
    };

    static uint16_t Atom(const std::string& cls)
    {
        const std::string u = Upper(cls);
        if (u == "BUTTON") return 0x80;
        if (u == "EDIT") return 0x81;
        if (u == "STATIC") return 0x82;
        if (u == "LISTBOX") return 0x83;
        if (u == "SCROLLBAR") return 0x84;
        if (u == "COMBOBOX") return 0x85;
        return 0;
    }

    Token ControlText()
    {
        Token t = Peek();
        if (t.kind == TokenKind::String) {
            Next();
            return t;
        }
        Token ordinal;
        ordinal.kind = TokenKind::Number;
        ordinal.where = t.where;
        ordinal.number = Int16Value() & 0xFFFF;
        return ordinal;
    }

    void Rect(Control& c, bool size = true)
    {
        c.x = Int16Value();
        Comma();
        c.y = Int16Value();
        if (!size)
            return;
        Comma();
        c.cx = Int16Value();
        Comma();
        c.cy = Int16Value();
    }

    // Optional trailing ", style [, exstyle [, helpid]]".
    void Tail(Control& c, uint32_t defaults, bool ex)
    {
        Flags style;
        if (OptionalComma())
            style = StyleFlags();
        c.style = style.Apply(defaults);
        if (OptionalComma())
            c.exStyle = StyleFlags().Apply(0);
        if (ex && OptionalComma())
            c.helpId = static_cast<uint32_t>(Value());
    }

    Control ParseControl(bool ex)
    {
        const Token& kw = Next();
        const uint32_t base = 0x40000000 | 0x10000000; // WS_CHILD | WS_VISIBLE
        Control c;
        c.where = kw.where;
        c.text.kind = TokenKind::End;
        struct Kind {
            const char* word;
            uint16_t atom;
            uint32_t style;
            bool text;
        };
        static const Kind kKinds[] = {
            {"LTEXT", 0x82, 0x0 | 0x20000, true},       {"RTEXT", 0x82, 0x2 | 0x20000, true},
            {"CTEXT", 0x82, 0x1 | 0x20000, true},       {"PUSHBUTTON", 0x80, 0x0 | 0x10000, true},
            {"DEFPUSHBUTTON", 0x80, 0x1 | 0x10000, true}, {"PUSHBOX", 0x80, 0xA | 0x10000, true},
            {"CHECKBOX", 0x80, 0x2 | 0x10000, true},    {"AUTOCHECKBOX", 0x80, 0x3 | 0x10000, true},
            {"RADIOBUTTON", 0x80, 0x4, true},           {"AUTORADIOBUTTON", 0x80, 0x9, true},
            {"STATE3", 0x80, 0x5 | 0x10000, true},      {"AUTO3STATE", 0x80, 0x6 | 0x10000, true},
            {"GROUPBOX", 0x80, 0x7, true},              {"EDITTEXT", 0x81, 0x00800000 | 0x10000, false},
            {"COMBOBOX", 0x85, 0x1 | 0x10000, false},   {"LISTBOX", 0x83, 0x1 | 0x00800000, false},
            {"SCROLLBAR", 0x84, 0x0, false},
        };
        if (Keyword(kw, "CONTROL")) {
            c.text = ControlText();
            Comma();
            c.id = static_cast<uint32_t>(Int16Value()) & 0xFFFF;
            Comma();
            const Token& cls = Peek();
            if (cls.kind == TokenKind::String) {
                c.className = Next().text;
            } else if (cls.kind == TokenKind::Name) {
                int64_t v = 0;
                if (m_reader.Lookup(cls.text, v, cls.where))
                    Fail("a control class is a name, not a number");
                c.className = Next().text;
            } else {
                Fail("expected a control class before " + Describe(cls));
            }
            if (c.className.empty())
                throw CompileError(cls.where, "empty control class");
            c.classAtom = Atom(c.className);
            Comma();
            const Flags style = StyleFlags();
            Comma();
            Rect(c);
            c.style = style.Apply(base);
            if (OptionalComma())
                c.exStyle = StyleFlags().Apply(0);
            if (ex && OptionalComma())
                c.helpId = static_cast<uint32_t>(Value());
        } else if (Keyword(kw, "ICON")) {
            c.text = Peek().kind == TokenKind::String ? Next() : ControlTextName();
            Comma();
            c.id = static_cast<uint32_t>(Int16Value()) & 0xFFFF;
            Comma();
            Rect(c, false);
            c.classAtom = 0x82;
            Flags style;
            if (OptionalComma()) {
                c.cx = Int16Value();
                Comma();
                c.cy = Int16Value();
                if (OptionalComma())
                    style = StyleFlags();
                if (OptionalComma())
                    c.exStyle = StyleFlags().Apply(0);
            }
            c.style = style.Apply(base | 0x3);
        } else {
            const Kind* kind = nullptr;
            for (const Kind& k : kKinds)
                if (Keyword(kw, k.word))
                    kind = &k;
            if (!kind)
                throw CompileError(kw.where, "unknown control " + Describe(kw));
            c.classAtom = kind->atom;
            if (kind->text) {
                c.text = ControlText();
                Comma();
            }
            c.id = static_cast<uint32_t>(Int16Value()) & 0xFFFF;
            Comma();
            Rect(c);
            Tail(c, base | kind->style, ex);
        }
        if (ex && (Keyword(Peek(), "BEGIN") || IsPunct("{")))
            Fail("control data blocks are not supported");
        return c;
    }

    Token ControlTextName()
    {
        Token t = Peek();
        if (t.kind == TokenKind::Name) {
            int64_t v = 0;
            if (!m_reader.Lookup(t.text, v, t.where)) {
                Next();
                t.kind = TokenKind::String;
                t.text = Upper(t.text);
                return t;
            }
        }
        return ControlText();
    }

    std::vector<uint8_t> Dialog(bool ex)
    {
        SkipMemoryFlags();
        Control d;
        Rect(d);
        uint32_t helpId = 0;
        if (ex && OptionalComma())
            helpId = static_cast<uint32_t>(Value());
        Flags style, exStyle;
        bool caption = false, font = false;
        std::string captionText, fontFace;
        Token menu, cls;
        menu.kind = cls.kind = TokenKind::End;
        int32_t pointSize = 0, weight = 0, italic = 0, charset = 1;
        while (!Keyword(Peek(), "BEGIN") && !IsPunct("{")) {
            const Token& t = Next();
            if (Keyword(t, "STYLE")) {
                style = StyleFlags();
            } else if (Keyword(t, "EXSTYLE")) {
                exStyle = StyleFlags();
            } else if (Keyword(t, "CAPTION")) {
                caption = true;
                captionText = String();
            } else if (Keyword(t, "FONT")) {
                font = true;
                pointSize = Int16Value();
                Comma();
                fontFace = String();
                if (ex && OptionalComma()) {
                    weight = Int16Value();
                    Comma();
                    italic = Int16Value();
                    if (OptionalComma())
                        charset = Int16Value();
                }
            } else if (Keyword(t, "MENU")) {
                menu = Next();
            } else if (Keyword(t, "CLASS")) {
                cls = Next();
            } else if (Keyword(t, "LANGUAGE")) {
                SkipPair();
            } else if (Keyword(t, "CHARACTERISTICS") || Keyword(t, "VERSION")) {
                Value();
            } else {
                throw CompileError(t.where, "unknown dialog option " + Describe(t));
            }
        }
        Begin();
        std::vector<Control> controls;
        while (!AtEnd())
            controls.push_back(ParseControl(ex));
        Next();
        if (controls.size() > 0xFFFF)
            Fail("too many controls");

        uint32_t dlgStyle = style.given ? style.Apply(0) : (0x80000000 | 0x00800000 | 0x00080000);
        if (caption)
            dlgStyle |= 0x00C00000;
        if (font)
            dlgStyle |= 0x40;
        const uint32_t dlgExStyle = exStyle.Apply(0);

        Writer w;
        if (ex) {
            w.Word(1);
            w.Word(0xFFFF);
            w.Dword(helpId);
            w.Dword(dlgExStyle);
            w.Dword(dlgStyle);
        } else {
            w.Dword(dlgStyle);
            w.Dword(dlgExStyle);
        }
        w.Word(static_cast<uint32_t>(controls.size()));
        w.Word(static_cast<uint32_t>(d.x));
        w.Word(static_cast<uint32_t>(d.y));
        w.Word(static_cast<uint32_t>(d.cx));
        w.Word(static_cast<uint32_t>(d.cy));
        if (menu.kind == TokenKind::End)
            w.Word(0);
        else
            NameOrOrdinal(w, menu);
        if (cls.kind == TokenKind::End)
            w.Word(0);
        else
            NameOrOrdinal(w, cls);
        w.Units(ToUnits(captionText, d.where));
        if (dlgStyle & 0x40) {
            w.Word(static_cast<uint32_t>(pointSize));
            if (ex) {
                w.Word(static_cast<uint32_t>(weight));
                w.Byte(static_cast<uint32_t>(italic));
                w.Byte(static_cast<uint32_t>(charset));
            }
            w.Units(ToUnits(fontFace, d.where));
        }
        for (const Control& c : controls) {
            w.Align4();
            if (ex) {
                w.Dword(c.helpId);
                w.Dword(c.exStyle);
                w.Dword(c.style);
            } else {
                w.Dword(c.style);
                w.Dword(c.exStyle);
            }
            w.Word(static_cast<uint32_t>(c.x));
            w.Word(static_cast<uint32_t>(c.y));
            w.Word(static_cast<uint32_t>(c.cx));
            w.Word(static_cast<uint32_t>(c.cy));
            if (ex)
                w.Dword(c.id);
            else
                w.Word(c.id);
            if (c.classAtom) {
                w.Word(0xFFFF);
                w.Word(c.classAtom);
            } else {
                w.Units(ToUnits(c.className, c.where));
            }
            if (c.text.kind == TokenKind::End)
                w.Word(0);
            else
                NameOrOrdinal(w, c.text);
            w.Word(0); // no creation data
        }
        return w.bytes;
    }

    ResourceCompiler& m_owner;
    ScriptReader& m_reader;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    fs::path m_dir;
};

ResourceCompiler::ResourceCompiler(std::vector<fs::path> includeDirs) : m_includeDirs(std::move(includeDirs)) {}

void ResourceCompiler::Compile(const fs::path& script)
{
    ScriptReader reader(m_includeDirs);
    reader.Define("RC_INVOKED", "1");
    for (const auto& [name, value] : kPredefined)
        reader.Define(name, std::to_string(value));
    std::vector<Token> tokens = reader.Read(script);
    Parser parser(*this, reader, std::move(tokens), script.parent_path());
    parser.Run();
}

void ResourceCompiler::Add(Resource resource)
{
    auto key = std::make_pair(resource.type, resource.name);
    auto it = m_seen.find(key);
    if (it != m_seen.end())
        throw CompileError(resource.where, "duplicate resource " + resource.name.Text() + " of type " +
                                               resource.type.Text() + " (first at " + it->second.file + ":" +
                                               std::to_string(it->second.line) + ")");
    m_seen[key] = resource.where;
    m_resources.push_back(std::move(resource));
}

std::vector<Resource> ResourceCompiler::Finish() const
{
    std::vector<Resource> out = m_resources;
    // String blocks of 16: block n holds ids (n - 1) * 16 to n * 16 - 1.
    std::map<uint32_t, std::vector<const StringEntry*>> blocks;
    for (const auto& [id, entry] : m_strings) {
        auto& block = blocks[(id >> 4) + 1u];
        block.resize(16, nullptr);
        block[id & 15] = &entry;
    }
    for (const auto& [number, block] : blocks) {
        Writer w;
        for (const StringEntry* e : block) {
            if (!e) {
                w.Word(0);
                continue;
            }
            w.Word(static_cast<uint32_t>(e->text.size()));
            for (char16_t c : e->text)
                w.Word(c);
        }
        Resource r;
        r.type.id = kRtString;
        r.name.id = static_cast<uint16_t>(number);
        r.data = std::move(w.bytes);
        out.push_back(std::move(r));
    }
    std::stable_sort(out.begin(), out.end(), [](const Resource& a, const Resource& b) {
        return a.type == b.type ? a.name < b.name : a.type < b.type;
    });
    return out;
}

std::string WriteTableSource(const std::vector<Resource>& resources, const std::string& function)
{
    std::ostringstream s;
    s << "// Generated by the resource compiler; do not edit.\n"
         "#include \"platform/win/ResourceTable.h\"\n\nnamespace {\n\n";
    auto quoted = [](const std::string& name) {
        if (name.empty())
            return std::string("nullptr");
        std::string q = "\"";
        for (unsigned char c : name) {
            if (std::isalnum(c) || c == '_') {
                q += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\%03o", c);
                q += hex;
            }
        }
        return q + "\"";
    };
    for (size_t i = 0; i < resources.size(); ++i) {
        s << "alignas(4) const unsigned char kData" << i << "[] = {";
        const auto& d = resources[i].data;
        for (size_t j = 0; j < d.size(); ++j)
            s << (j % 24 ? "" : "\n    ") << static_cast<int>(d[j]) << ",";
        if (d.empty())
            s << "0";
        s << "\n};\n";
    }
    s << "\nconst tavrin::win::ResourceEntry kEntries[] = {\n";
    for (size_t i = 0; i < resources.size(); ++i) {
        const Resource& r = resources[i];
        s << "    {" << r.type.id << ", " << quoted(r.type.name) << ", " << r.name.id << ", " << quoted(r.name.name)
          << ", kData" << i << ", " << r.data.size() << "},\n";
    }
    if (resources.empty())
        s << "    {0, nullptr, 0, nullptr, nullptr, 0},\n";
    s << "};\n\nconst tavrin::win::ResourceTable kTable{kEntries, " << resources.size() << "};\n\n";
    if (function.empty()) {
        s << "[[maybe_unused]] const bool g_added = tavrin::win::AddProgramResources(kTable);\n\n} // namespace\n";
    } else {
        s << "} // namespace\n\nconst tavrin::win::ResourceTable& " << function << "()\n{\n    return kTable;\n}\n";
    }
    return s.str();
}

} // namespace tavrin::rc
