#include "core/services/XmlParser.h"

#include "core/services/XmlTree.h"
#include "platform/base/FileApi.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

using tavrin::XmlTree;

namespace {

enum : uint8_t { kSpace = 1, kName = 2, kLead = 4 };

struct CharTable {
    uint8_t c[256] = {};
    constexpr CharTable()
    {
        for (int i = 1; i <= 32; ++i)
            c[i] |= kSpace;
        for (int i = '0'; i <= '9'; ++i)
            c[i] |= kName;
        for (int i = 'a'; i <= 'z'; ++i)
            c[i] |= kName;
        for (int i = 'A'; i <= 'Z'; ++i)
            c[i] |= kName;
        c[static_cast<int>('_')] |= kName;
        c[static_cast<int>(':')] |= kName;
        c[static_cast<int>('-')] |= kName;
        c[static_cast<int>('.')] |= kName;
        // Bytes above 127 are name characters too, so GBK names work.
        for (int i = 0x80; i <= 0xFF; ++i)
            c[i] |= kName;
        for (int i = 0x81; i <= 0xFE; ++i)
            c[i] |= kLead;
    }
};
constexpr CharTable kChars;

inline bool IsSpace(char ch) { return kChars.c[static_cast<unsigned char>(ch)] & kSpace; }
inline bool IsNameChar(char ch) { return kChars.c[static_cast<unsigned char>(ch)] & kName; }

inline bool IsGbkTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// What may follow '<' to open an element: an ASCII letter, '_' or ':', or a
// whole GBK character. Anything else (a damaged byte, a lone lead byte) is text.
inline bool IsNameStart(const char* p, const char* end)
{
    if (p >= end)
        return false;
    unsigned char b = static_cast<unsigned char>(*p);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_' || b == ':')
        return true;
    return (kChars.c[b] & kLead) && p + 1 < end && IsGbkTrail(static_cast<unsigned char>(p[1]));
}

// A '<' that starts markup; a stray one belongs to the text around it.
inline bool OpensMarkup(const char* p, const char* end)
{
    return p + 1 < end && (p[1] == '/' || p[1] == '?' || p[1] == '!' || IsNameStart(p + 1, end));
}

inline const char* SkipSpace(const char* p, const char* end)
{
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

// A run of name characters; a GBK lead byte takes its trail byte along.
inline const char* SkipName(const char* p, const char* end)
{
    while (p < end) {
        unsigned char b = static_cast<unsigned char>(*p);
        uint8_t k = kChars.c[b];
        if (!(k & kName))
            break;
        if ((k & kLead) && p + 1 < end && IsGbkTrail(static_cast<unsigned char>(p[1])))
            p += 2;
        else
            p += 1;
    }
    return p;
}

inline const char* Find(const char* p, const char* end, char ch)
{
    return p < end ? static_cast<const char*>(std::memchr(p, ch, static_cast<size_t>(end - p))) : nullptr;
}

inline const char* FindText(const char* p, const char* end, std::string_view what)
{
    while (p && p < end) {
        p = Find(p, end, what[0]);
        if (!p || static_cast<size_t>(end - p) < what.size())
            return nullptr;
        if (std::memcmp(p, what.data(), what.size()) == 0)
            return p;
        ++p;
    }
    return nullptr;
}

inline bool StartsWith(const char* p, const char* end, std::string_view what)
{
    return static_cast<size_t>(end - p) >= what.size() && std::memcmp(p, what.data(), what.size()) == 0;
}

inline void Trim(const char*& b, const char*& e)
{
    while (b < e && IsSpace(*b))
        ++b;
    while (e > b && IsSpace(e[-1]))
        --e;
}

// One pass over the text. Children are collected on a stack while their
// parent is open and stored as one array of the exact size when it closes.
class Scanner {
public:
    Scanner(XmlTree& tree, DWORD options) : m_tree(tree), m_options(options) {}

    const char* Run(const char* begin, const char* end, XmlNodeStruct* root)
    {
        Open(root);
        bool stop = false;
        const char* at = Loop(begin, end, 1, stop);
        while (!m_open.empty())
            Close();
        m_tree.Changed();
        return at;
    }

private:
    struct OpenNode { XmlNodeStruct* node; size_t first; };

    XmlNodeStruct* Current() const { return m_open.back().node; }

    XmlNodeStruct* Add(uint32_t type)
    {
        XmlNodeStruct* node = m_tree.NewNode(type);
        node->parent = Current();
        m_pending.push_back(node);
        return node;
    }

    void Open(XmlNodeStruct* node) { m_open.push_back({node, m_pending.size()}); }

    void Close()
    {
        OpenNode top = m_open.back();
        m_open.pop_back();
        size_t count = m_pending.size() - top.first;
        if (count)
            m_tree.AppendChildren(top.node, m_pending.data() + top.first, static_cast<uint32_t>(count));
        m_pending.resize(top.first);
    }

    static void SetText(XmlNodeStruct* node, const char* b, const char* e)
    {
        node->text = b;
        node->textLength = static_cast<uint32_t>(e - b);
    }

    static void SetValue(XmlNodeStruct* node, const char* b, const char* e)
    {
        auto* f = static_cast<XmlFullStruct*>(node);
        f->value = b;
        f->valueLength = static_cast<uint32_t>(e - b);
    }

    XmlAttributeStruct* NewAttribute(const char* nb, const char* ne)
    {
        auto* a = static_cast<XmlAttributeStruct*>(m_tree.Arena().Allocate(sizeof(XmlAttributeStruct)));
        a->name = nb;
        a->nameLength = static_cast<uint32_t>(ne - nb);
        a->value = nullptr;
        a->valueLength = 0;
        a->nameInText = 1;
        a->valueInText = 1;
        m_attributes.push_back(a);
        return a;
    }

    void StoreAttributes(XmlNodeStruct* node)
    {
        m_tree.SetAttributes(node, m_attributes.data(), static_cast<uint32_t>(m_attributes.size()));
        m_attributes.clear();
    }

    // Text after the '>' of a start tag and after comments, CDATA and
    // INCLUDE sections and processing instructions: a text node unless only
    // whitespace comes before the next '<' that opens markup.
    const char* TakeText(const char* s, const char* end)
    {
        const char* p = SkipSpace(s, end);
        if (p >= end || (*p == '<' && OpensMarkup(p, end)))
            return p;
        const char* lt = Find(p, end, '<');
        while (lt && !OpensMarkup(lt, end))
            lt = Find(lt + 1, end, '<');
        const char* e = lt ? lt : end;
        const char* b = s;
        if (m_options & XML_TRIM_PCDATA)
            Trim(b, e);
        SetText(Add(XmlPcdata), b, e);
        return lt ? lt : end;
    }

    // Attributes of a start tag or processing instruction, up to (not past)
    // the first byte in stops. Null when the text ends first.
    const char* ReadAttributes(const char* p, const char* end, bool pi)
    {
        for (;;) {
            p = SkipSpace(p, end);
            if (p >= end)
                return nullptr;
            char ch = *p;
            if (ch == '>' || ch == '/' || (pi && ch == '?')) {
                if (ch != '/' || (p + 1 < end && p[1] == '>'))
                    return p;
                ++p;  // a stray '/'
                continue;
            }
            if (!IsNameChar(ch)) {
                ++p;
                continue;
            }
            const char* nb = p;
            p = SkipName(p, end);
            const char* ne = p;
            p = SkipSpace(p, end);
            if (p < end && *p == '=') {
                p = SkipSpace(p + 1, end);
                if (p >= end)
                    return nullptr;
                const char *vb, *ve;
                if (*p == '"' || *p == '\'') {
                    const char* q = Find(p + 1, end, *p);
                    if (!q)
                        return nullptr;
                    vb = p + 1;
                    ve = q;
                    p = q + 1;
                } else {
                    vb = p;
                    p = SkipName(p, end);
                    ve = p;
                }
                if (m_options & XML_TRIM_ATTRIBUTES)
                    Trim(vb, ve);
                XmlAttributeStruct* a = NewAttribute(nb, ne);
                a->value = vb;
                a->valueLength = static_cast<uint32_t>(ve - vb);
            } else {
                NewAttribute(nb, ne);  // a bare name: no value
            }
        }
    }

    const char* Loop(const char* s, const char* end, size_t base, bool& stop)
    {
        for (;;) {
            s = Find(s, end, '<');
            if (!s)
                return end;
            if (s + 1 >= end) {
                stop = true;
                return end;
            }
            char c = s[1];
            if (c == '/') {
                const char* gt = Find(s + 2, end, '>');
                if (!gt) {
                    stop = true;
                    return end;
                }
                if (m_open.size() > base)
                    Close();
                s = MixedText(gt + 1, end);
            } else if (IsNameStart(s + 1, end)) {
                s = Element(s, end, stop);
            } else if (c == '?') {
                s = Pi(s, end, stop);
            } else if (c == '!') {
                s = Bang(s, end, base, stop);
            } else {
                ++s;
            }
            if (stop)
                return s ? s : end;
        }
    }

    // Text after an end tag or an empty-element tag inside an element.
    const char* MixedText(const char* s, const char* end)
    {
        return Current()->type == XmlElement ? TakeText(s, end) : s;
    }

    const char* Element(const char* s, const char* end, bool& stop)
    {
        const char* nb = s + 1;
        const char* ne = SkipName(nb, end);
        XmlNodeStruct* node = Add(XmlElement);
        SetText(node, nb, ne);
        const char* p = ReadAttributes(ne, end, false);
        StoreAttributes(node);
        if (!p) {
            Open(node);  // unclosed: stays with what it has
            stop = true;
            return end;
        }
        if (*p == '/')
            return MixedText(p + 2, end);
        Open(node);
        return TakeText(p + 1, end);
    }

    const char* Pi(const char* s, const char* end, bool& stop)
    {
        if (s + 2 >= end || !IsNameChar(s[2])) {
            const char* gt = Find(s + 2, end, '>');
            if (!gt)
                stop = true;
            return gt ? gt + 1 : end;
        }
        if (!Find(s + 2, end, '?')) {
            stop = true;
            return end;
        }
        const char* nb = s + 2;
        const char* ne = SkipName(nb, end);
        const char* p = ReadAttributes(ne, end, true);
        if (m_options & XML_PARSE_PI) {
            XmlNodeStruct* node = Add(XmlPi);
            SetText(node, nb, ne);
            StoreAttributes(node);
        } else {
            m_attributes.clear();
        }
        const char* close = p ? FindText(p, end, "?>") : nullptr;
        if (!close) {
            stop = true;
            return end;
        }
        return TakeText(close + 2, end);
    }

    const char* Bang(const char* s, const char* end, size_t base, bool& stop)
    {
        if (StartsWith(s, end, "<!--")) {
            const char* close = FindText(s + 4, end, "-->");
            if (!close) {
                stop = true;
                return end;
            }
            if (m_options & XML_PARSE_COMMENTS) {
                const char *b = s + 4, *e = close;
                if (m_options & XML_TRIM_COMMENTS)
                    Trim(b, e);
                SetText(Add(XmlComment), b, e);
            }
            return TakeText(close + 3, end);
        }
        bool cdata = StartsWith(s, end, "<![CDATA[");
        if (cdata || StartsWith(s, end, "<![INCLUDE[")) {
            const char* b = s + (cdata ? 9 : 11);
            const char* close = FindText(b, end, "]]>");
            if (!close) {
                stop = true;
                return end;
            }
            if (m_options & (cdata ? XML_PARSE_CDATA : XML_PARSE_DOCTYPE)) {
                const char* e = close;
                if (m_options & XML_TRIM_CDATA)
                    Trim(b, e);
                SetText(Add(cdata ? XmlCdata : XmlInclude), b, e);
            }
            return TakeText(close + 3, end);
        }
        if (StartsWith(s, end, "<!DOCTYPE"))
            return base == 1 ? Doctype(s, end, stop) : SkipPast(s, end, '>', stop);
        if (s + 2 < end && IsNameChar(s[2]))
            return Declaration(s, end, stop);
        return SkipPast(s, end, '>', stop);
    }

    static const char* SkipPast(const char* s, const char* end, char ch, bool& stop)
    {
        const char* at = Find(s, end, ch);
        if (!at) {
            stop = true;
            return end;
        }
        return at + 1;
    }

    const char* Doctype(const char* s, const char* end, bool& stop)
    {
        XmlNodeStruct* node = (m_options & XML_PARSE_DOCTYPE) ? Add(XmlDoctype) : nullptr;
        const char* p = s + 9;
        for (;;) {
            p = SkipSpace(p, end);
            if (p >= end) {
                stop = true;
                break;
            }
            if (*p == '>' || *p == '[')
                break;
            if (*p == '"' || *p == '\'') {
                const char* q = Find(p + 1, end, *p);
                if (!q) {
                    stop = true;
                    break;
                }
                XmlAttributeStruct* a = NewAttribute(nullptr, nullptr);
                a->name = nullptr;
                a->value = p + 1;
                a->valueLength = static_cast<uint32_t>(q - p - 1);
                p = q + 1;
                continue;
            }
            const char* wb = p;
            while (p < end && !IsSpace(*p) && *p != '>' && *p != '[' && *p != '"' && *p != '\'')
                ++p;
            XmlAttributeStruct* a = NewAttribute(wb, p);
            a->value = wb;
            a->valueLength = static_cast<uint32_t>(p - wb);
        }
        if (node)
            StoreAttributes(node);
        else
            m_attributes.clear();
        if (stop)
            return end;
        if (*p == '>')
            return p + 1;

        // The internal subset runs to the matching ']'.
        const char* b = p + 1;
        const char* q = b;
        int depth = 1;
        for (; q < end; ++q) {
            if (*q == '[')
                ++depth;
            else if (*q == ']' && --depth == 0)
                break;
        }
        if (q >= end) {
            stop = true;
            return end;
        }
        if (node) {
            const char *vb = b, *ve = q;
            if (m_options & XML_TRIM_DOCTYPE)
                Trim(vb, ve);
            SetValue(node, vb, ve);
            if (m_options & XML_PARSE_DTD) {
                Open(node);
                size_t depthBefore = m_open.size();
                bool inner = false;
                Loop(b, q, depthBefore, inner);
                while (m_open.size() >= depthBefore)
                    Close();
            }
        }
        if (m_options & XML_DTD_ONLY) {
            stop = true;
            return q + 1;
        }
        return SkipPast(q + 1, end, '>', stop);
    }

    const char* Declaration(const char* s, const char* end, bool& stop)
    {
        const char* kb = s + 2;
        const char* ke = SkipName(kb, end);
        std::string_view keyword(kb, static_cast<size_t>(ke - kb));
        uint32_t type = keyword == "ATTLIST" ? XmlAttlistDecl : keyword == "ELEMENT" ? XmlElementDecl
                        : keyword == "NOTATION"                    ? XmlNotationDecl
                                                                   : XmlEntityDecl;
        const char* p = SkipSpace(ke, end);
        const char* nb = p;
        if (p < end && *p == '%') {
            // A parameter entity: "%", blanks and its name.
            const char* q = SkipSpace(p + 1, end);
            const char* r = SkipName(q, end);
            p = r > q ? r : p + 1;
        } else {
            p = SkipName(p, end);
        }
        const char* ne = p;
        const char* vb = SkipSpace(p, end);
        p = vb;
        while (p < end && *p != '>') {
            if (type == XmlEntityDecl && (*p == '"' || *p == '\'')) {
                const char* q = Find(p + 1, end, *p);
                if (!q)
                    break;
                p = q + 1;
            } else {
                ++p;
            }
        }
        if (p >= end || *p != '>') {
            stop = true;
            return end;
        }
        const char* ve = p;
        if (m_options & XML_TRIM_DECLARATIONS)
            Trim(vb, ve);
        XmlNodeStruct* node = Add(type);
        if (ne > nb)
            SetText(node, nb, ne);
        SetValue(node, vb, ve);
        return p + 1;
    }

    XmlTree& m_tree;
    DWORD m_options;
    std::vector<XmlNodeStruct*> m_pending;
    std::vector<OpenNode> m_open;
    std::vector<XmlAttributeStruct*> m_attributes;
};

// The file's bytes up to its first NUL, read in chunks straight into one
// buffer of the file's size: no copy and no zero fill of a large file, and
// each chunk is searched for a NUL while it is fresh in the cache. False
// when the file cannot be read or is empty.
bool ReadText(const char* fileName, DWORD chunkSize, std::vector<char, tavrin::ArrayAllocator<char>>& text,
              size_t& length)
{
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    uint64_t size = low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS ? 0 : (uint64_t{high} << 32) | low;
    const size_t chunk = chunkSize > 1 ? chunkSize : 1024000;
    // Not zero-filled: the read fills what is used.
    std::vector<char, tavrin::ArrayAllocator<char>> buffer;
    buffer.resize(static_cast<size_t>(std::min<uint64_t>(size, SIZE_MAX / 2)) + 1);
    size_t filled = 0, read = 0;
    bool ok = true;
    char spill[4096];
    for (;;) {
        // Into the buffer while it has room; once it is full (usually at the
        // end of the file) into a small spill, so that the end is seen
        // without growing the buffer.
        bool full = filled + 1 == buffer.size();
        char* into = full ? spill : buffer.data() + filled;
        DWORD want = static_cast<DWORD>(full ? sizeof spill : std::min(chunk, buffer.size() - 1 - filled));
        DWORD got = 0;
        if (!ReadFile(file, into, want, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        read += got;
        if (full) {
            // The file grew while it was read.
            buffer.resize(buffer.size() + std::max<size_t>({buffer.size() / 2, chunk, got}));
            std::memcpy(buffer.data() + filled, spill, got);
        }
        if (const void* nul = std::memchr(buffer.data() + filled, 0, got)) {
            filled = static_cast<size_t>(static_cast<const char*>(nul) - buffer.data());
            break;
        }
        filled += got;
    }
    CloseHandle(file);
    if (!ok || read == 0)
        return false;
    buffer[filled] = 0;
    text = std::move(buffer);
    length = filled;
    return true;
}

} // namespace

BOOL ReadWholeFile(const char* fileName, DWORD chunkSize, std::string& data)
{
    (void)chunkSize;  // the file layer reads into a buffer of the file's size
    return tavrin::ReadWholeFile(fileName, data) && !data.empty();
}

CXmlParser::CXmlParser() = default;

CXmlParser::~CXmlParser()
{
    Free();
}

void CXmlParser::Free()
{
    if (m_tree && m_ownsTree) {
        m_tree->Destroy();
        m_tree->Release();
    }
    m_tree = nullptr;
    std::vector<char, tavrin::ArrayAllocator<char>>().swap(m_text);
    m_parseEnd = nullptr;
}

BOOL CXmlParser::LoadFile(const char* fileName, DWORD options, DWORD chunkSize)
{
    Free();
    if (options != XML_PARSE_KEEP_OPTIONS)
        m_options = options;
    if (!fileName || !*fileName)
        return FALSE;
    // The text ends at its first NUL byte, as a C string does.
    size_t length = 0;
    if (!ReadText(fileName, chunkSize, m_text, length))
        return FALSE;
    m_tree = XmlTree::Create();
    Scanner scanner(*m_tree, m_options);
    m_parseEnd = scanner.Run(m_text.data(), m_text.data() + length, m_tree->Document());
    return TRUE;
}

void CXmlParser::Create()
{
    Free();
    m_tree = XmlTree::Create();
}

CXmlNode CXmlParser::GetDocument() const
{
    return m_tree ? CXmlNode(m_tree, m_tree->Document()) : CXmlNode();
}

const char* CXmlParser::Parse(const char* text, const CXmlNode& parent, int growthStep, DWORD options)
{
    (void)growthStep;  // child arrays get their exact size when their node closes
    XmlNodeStruct* root = parent.Get();
    if (!text || !root || !tavrin::HasXmlChildren(root->type))
        return text;
    Scanner scanner(*parent.GetTree(), options);
    m_parseEnd = scanner.Run(text, text + std::strlen(text), root);
    return m_parseEnd;
}
