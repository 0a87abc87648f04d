#include "core/services/XmlText.h"

#include "core/services/XmlTree.h"
#include "platform/base/AtomicWrite.h"

#include <ostream>
#include <vector>

namespace tavrin {

namespace {
constexpr size_t kOutputBuffer = 64 * 1024;

// A double-byte character: a GBK lead byte followed by a byte of the trail
// range. A lead byte before anything else stands alone, so a markup
// character after a broken lead byte is still escaped.
inline bool IsPair(const unsigned char* p, const unsigned char* end)
{
    return p[0] >= 0x81 && p[0] <= 0xFE && p + 1 < end && p[1] >= 0x40 && p[1] <= 0xFE && p[1] != 0x7F;
}

struct StreamOutput : XmlOutput {
    explicit StreamOutput(std::ostream& s) : stream(s) {}
    ~StreamOutput() override { Flush(); }
    bool Sink(const char* data, size_t size) override
    {
        if (!stream)
            return false;
        stream.write(data, static_cast<std::streamsize>(size));
        return static_cast<bool>(stream);
    }
    std::ostream& stream;
};

struct AtomicFileOutput : XmlOutput {
    explicit AtomicFileOutput(AtomicFile& f) : file(f) {}
    bool Sink(const char* data, size_t size) override { return file.Write(data, size); }
    AtomicFile& file;
};
} // namespace

// ---- XmlOutput

XmlOutput::XmlOutput() : m_buffer(new char[kOutputBuffer]), m_pos(m_buffer.get()), m_end(m_buffer.get() + kOutputBuffer)
{
}

XmlOutput::~XmlOutput() = default;

void XmlOutput::Drain()
{
    char* begin = m_buffer.get();
    if (!m_failed && m_pos != begin && !Sink(begin, static_cast<size_t>(m_pos - begin)))
        m_failed = true;
    m_pos = begin;
}

void XmlOutput::WriteSlow(const char* data, size_t size)
{
    Drain();
    if (size >= kOutputBuffer) {
        if (!m_failed && !Sink(data, size))
            m_failed = true;
        return;
    }
    std::memcpy(m_pos, data, size);
    m_pos += size;
}

bool XmlOutput::Flush()
{
    Drain();
    return !m_failed;
}

bool XmlStringOutput::Sink(const char* data, size_t size)
{
    m_target.append(data, size);
    return true;
}

// ---- escaping

void AppendXmlEscaped(std::string& out, std::string_view text, bool attributeMode)
{
    auto* p = reinterpret_cast<const unsigned char*>(text.data());
    auto* end = p + text.size();
    out.reserve(out.size() + text.size() + 7 + text.size() / 10);
    const unsigned char* run = p;
    while (p < end) {
        if (*p >= 0x40) {
            p += IsPair(p, end) ? 2 : 1;
            continue;
        }
        const char* entity = nullptr;
        switch (*p) {
        case ' ': entity = "&nbsp;"; break;
        case '<': entity = "&lt;"; break;
        case '&': entity = "&amp;"; break;
        case '>': entity = "&gt;"; break;
        case '\'': entity = attributeMode ? "&apos;" : nullptr; break;
        case '"': entity = attributeMode ? "&quot;" : nullptr; break;
        default: break;
        }
        if (!entity) {
            ++p;
            continue;
        }
        out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        out.append(entity);
        run = ++p;
    }
    out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(end - run));
}

void AppendXmlUnescaped(std::string& out, std::string_view text)
{
    static const struct { const char* name; size_t length; char ch; } kNames[] = {
        {"nbsp;", 5, ' '}, {"lt;", 3, '<'}, {"amp;", 4, '&'}, {"gt;", 3, '>'}, {"apos;", 5, '\''}, {"quot;", 5, '"'},
    };
    auto* s = reinterpret_cast<const unsigned char*>(text.data());
    size_t n = text.size();
    out.reserve(out.size() + n);
    size_t i = 0;
    while (i < n) {
        // Runs without '&' go over whole: no GBK trail byte is an '&', so a
        // run never ends inside a character.
        const void* amp = std::memchr(s + i, '&', n - i);
        size_t next = amp ? static_cast<size_t>(static_cast<const unsigned char*>(amp) - s) : n;
        out.append(reinterpret_cast<const char*>(s + i), next - i);
        i = next;
        if (i >= n)
            break;
        if (i + 1 < n && s[i + 1] == '#') {
            // "&#" digits ";" with at most seven characters before the ';'.
            size_t start = i + 2;
            size_t semi = start;
            while (semi < n && semi - start <= 7 && s[semi] != ';')
                ++semi;
            if (semi < n && s[semi] == ';' && semi - start <= 7) {
                bool hex = start < semi && s[start] == 'x';
                unsigned value = 0;
                for (size_t j = start + (hex ? 1 : 0); j < semi; ++j) {
                    unsigned c = s[j], digit;
                    if (c >= '0' && c <= '9')
                        digit = c - '0';
                    else if (hex && c >= 'a' && c <= 'f')
                        digit = c - 'a' + 10;
                    else if (hex && c >= 'A' && c <= 'F')
                        digit = c - 'A' + 10;
                    else
                        break;
                    value = value * (hex ? 16 : 10) + digit;
                }
                if (value >= 1 && value <= 255) {
                    out.push_back(static_cast<char>(value));
                    i = semi + 1;
                    continue;
                }
            }
            out.push_back('&');
            ++i;
            continue;
        }
        bool matched = false;
        for (const auto& e : kNames) {
            if (i + 1 + e.length <= n && std::memcmp(s + i + 1, e.name, e.length) == 0) {
                out.push_back(e.ch);
                i += 1 + e.length;
                matched = true;
                break;
            }
        }
        if (!matched) {
            out.push_back('&');
            ++i;
        }
    }
}

// ---- writer

namespace {
const std::string_view kAnonymous = "anonymous";

void WriteAttributes(XmlOutput& out, const XmlNodeStruct* node)
{
    uint32_t count = XmlAttributeCount(node);
    for (uint32_t i = 0; i < count; ++i) {
        const XmlAttributeStruct* a = XmlAttributeAt(node, i);
        if (!a->name)
            continue;
        out.Put(' ');
        out.Write(XmlAttributeName(a));
        if (!a->value)
            continue;
        out.Write("=\"", 2);
        // A value read from single quotes may hold a double quote; as an
        // entity it reads back the same and cannot end the value early.
        std::string_view value = XmlAttributeValue(a);
        for (size_t quote; (quote = value.find('"')) != std::string_view::npos; value.remove_prefix(quote + 1)) {
            out.Write(value.data(), quote);
            out.Write("&quot;", 6);
        }
        out.Write(value);
        out.Put('"');
    }
}

bool IsDeclaration(const XmlNodeStruct* node)
{
    return node->type >= XmlEntityDecl && node->type <= XmlNotationDecl;
}

// The bracketed list of a DOCTYPE is written when it has declarations to
// show; otherwise its subset text, so that nothing it had is dropped.
bool HasDeclarations(const XmlNodeStruct* doctype)
{
    for (uint32_t i = 0; i < doctype->childCount; ++i)
        if (IsDeclaration(XmlChildAt(doctype, i)))
            return true;
    return false;
}

std::string_view ElementName(const XmlNodeStruct* node)
{
    std::string_view name = XmlName(node);
    return name.empty() ? kAnonymous : name;
}

class Writer {
public:
    Writer(XmlOutput& out, XmlIndentStack& indent, bool lineFeeds) : m_out(out), m_indent(indent), m_lineFeeds(lineFeeds) {}

    // Writes node and its subtree without recursion: a hostile file may nest
    // deeper than the stack allows.
    void Run(const XmlNodeStruct* node)
    {
        Emit(node);
        while (!m_stack.empty() && !m_out.Failed()) {
            Frame& f = m_stack.back();
            if (f.next < f.node->childCount) {
                const XmlNodeStruct* child = XmlChildAt(f.node, f.next++);
                if (f.node->type == XmlDoctype && !IsDeclaration(child))
                    continue;
                Emit(child);
            } else {
                const XmlNodeStruct* done = f.node;
                m_stack.pop_back();
                Close(done);
            }
        }
    }

private:
    struct Frame { const XmlNodeStruct* node; uint32_t next; };

    void LineEnd()
    {
        if (m_lineFeeds)
            m_out.Put('\n');
    }

    void Emit(const XmlNodeStruct* node)
    {
        if (m_out.Failed())
            return;
        m_out.Write(m_indent.Get());
        std::string_view value = XmlValue(node);
        bool hasValue = IsXmlLeaf(node->type) ? node->text != nullptr
                        : IsXmlFull(node->type) ? static_cast<const XmlFullStruct*>(node)->value != nullptr
                                                 : false;
        switch (node->type) {
        case XmlElement: {
            std::string_view name = ElementName(node);
            m_out.Put('<');
            m_out.Write(name);
            WriteAttributes(m_out, node);
            if (node->childCount == 0) {
                m_out.Write("/>", 2);
            } else if (node->childCount == 1 && XmlChildAt(node, 0)->type == XmlPcdata) {
                m_out.Put('>');
                m_out.Write(XmlValue(XmlChildAt(node, 0)));
                m_out.Write("</", 2);
                m_out.Write(name);
                m_out.Put('>');
            } else {
                m_out.Put('>');
                LineEnd();
                m_indent.Push();
                m_stack.push_back({node, 0});
                return;
            }
            break;
        }
        case XmlPcdata:
            m_out.Write(value);
            break;
        case XmlCdata:
        case XmlInclude:
            if (hasValue) {
                m_out.Write(node->type == XmlCdata ? std::string_view("<![CDATA[") : std::string_view("<![INCLUDE["));
                m_out.Write(value);
                m_out.Write("]]>", 3);
            }
            break;
        case XmlComment:
            if (hasValue) {
                m_out.Write("<!--", 4);
                m_out.Write(value);
                m_out.Write("-->", 3);
            }
            break;
        case XmlPi:
            m_out.Write("<?", 2);
            m_out.Write(XmlName(node));
            WriteAttributes(m_out, node);
            m_out.Write("?>", 2);
            break;
        case XmlDoctype: {
            m_out.Write("<!DOCTYPE", 9);
            uint32_t count = XmlAttributeCount(node);
            for (uint32_t i = 0; i < count; ++i) {
                const XmlAttributeStruct* a = XmlAttributeAt(node, i);
                m_out.Put(' ');
                if (a->name) {
                    m_out.Write(XmlAttributeName(a));
                } else {
                    std::string_view literal = XmlAttributeValue(a);
                    char quote = literal.find('"') == std::string_view::npos ? '"' : '\'';
                    m_out.Put(quote);
                    m_out.Write(literal);
                    m_out.Put(quote);
                }
            }
            if (HasDeclarations(node)) {
                LineEnd();
                m_out.Put('[');
                LineEnd();
                m_indent.Push();
                m_stack.push_back({node, 0});
                return;
            }
            if (hasValue) {
                m_out.Write(" [", 2);
                m_out.Write(value);
                m_out.Put(']');
            }
            m_out.Put('>');
            break;
        }
        case XmlEntityDecl:
        case XmlAttlistDecl:
        case XmlElementDecl:
        case XmlNotationDecl: {
            std::string_view name = XmlName(node);
            if (!node->text)
                break;
            static const std::string_view kKeywords[] = {"<!ENTITY ", "<!ATTLIST ", "<!ELEMENT ", "<!NOTATION "};
            m_out.Write(kKeywords[node->type - XmlEntityDecl]);
            m_out.Write(name);
            if (!value.empty()) {
                m_out.Put(' ');
                m_out.Write(value);
            }
            m_out.Put('>');
            break;
        }
        default:
            break;
        }
        LineEnd();
    }

    void Close(const XmlNodeStruct* node)
    {
        m_indent.Pop();
        if (node->type == XmlDoctype) {
            m_out.Write("]>", 2);
        } else {
            m_out.Write(m_indent.Get());
            m_out.Write("</", 2);
            m_out.Write(ElementName(node));
            m_out.Put('>');
        }
        LineEnd();
    }

    XmlOutput& m_out;
    XmlIndentStack& m_indent;
    bool m_lineFeeds;
    std::vector<Frame> m_stack;
};
} // namespace

std::string WriteXmlText(const CXmlNode& node, char indentChar, bool lineFeeds)
{
    std::string text;
    {
        XmlStringOutput out(text);
        WriteXmlDocument(out, node, indentChar, lineFeeds);
    }
    return text;
}

bool WriteXmlFile(const char* gbkPath, const CXmlNode& node, char indentChar, bool lineFeeds)
{
    AtomicFile file;
    if (!file.Open(gbkPath))
        return false;
    AtomicFileOutput out(file);
    WriteXmlDocument(out, node, indentChar, lineFeeds);
    return out.Flush() && file.Commit();
}

} // namespace tavrin

void WriteXmlNode(tavrin::XmlOutput& out, XmlIndentStack& indent, const CXmlNode& node, BOOL lineFeeds)
{
    const XmlNodeStruct* n = node.Get();
    if (!n || n->type == XmlDocument || out.Failed())
        return;
    tavrin::Writer(out, indent, lineFeeds != FALSE).Run(n);
}

void WriteXmlDocument(tavrin::XmlOutput& out, const CXmlNode& node, char indentChar, BOOL lineFeeds)
{
    const XmlNodeStruct* n = node.Get();
    if (!n)
        return;
    XmlIndentStack indent(indentChar);
    tavrin::Writer writer(out, indent, lineFeeds != FALSE);
    if (n->type == XmlDocument) {
        for (uint32_t i = 0; i < n->childCount && !out.Failed(); ++i)
            writer.Run(tavrin::XmlChildAt(n, i));
    } else {
        writer.Run(n);
    }
    out.Flush();
}

void WriteXmlDocument(std::ostream& out, const CXmlNode& node, char indentChar, BOOL lineFeeds)
{
    tavrin::StreamOutput sink(out);
    WriteXmlDocument(sink, node, indentChar, lineFeeds);
}

CString XmlEscape(const char* text, BOOL attributeMode)
{
    std::string out;
    tavrin::AppendXmlEscaped(out, text ? std::string_view(text) : std::string_view(), attributeMode != FALSE);
    return CString(std::move(out));
}

CString XmlEscapeString(const CString& text, BOOL attributeMode)
{
    std::string out;
    tavrin::AppendXmlEscaped(out, text.View(), attributeMode != FALSE);
    return CString(std::move(out));
}

CString XmlUnescape(const char* text)
{
    std::string out;
    tavrin::AppendXmlUnescaped(out, text ? std::string_view(text) : std::string_view());
    return CString(std::move(out));
}

CString XmlUnescapeString(const CString& text)
{
    std::string out;
    tavrin::AppendXmlUnescaped(out, text.View());
    return CString(std::move(out));
}
