// The XML parser on hostile bytes: it must never crash, hang or leak; what
// it writes back must read back as the very tree the first parse gave
// (kinds, names, attributes, values). Escaping must round-trip any bytes.
#include "core/services/XmlParser.h"
#include "core/services/XmlText.h"
#include "fuzz/FuzzText.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

// Deeper trees are parsed but not compared: the writer and this dump recurse.
constexpr int kMaxDepth = 200;

int Depth(const XmlNodeStruct* node, int depth)
{
    if (depth > kMaxDepth)
        return depth;
    int deepest = depth;
    if (tavrin::HasXmlChildren(node->type))
        for (uint32_t i = 0; i < node->childCount; ++i) {
            int d = Depth(tavrin::XmlChildAt(node, i), depth + 1);
            if (d > deepest)
                deepest = d;
            if (deepest > kMaxDepth)
                break;
        }
    return deepest;
}

// Values as stored: the parser keeps entity references, and the writer only
// spells a quote another way where it must ('"' as "&quot;" inside double
// quotes). Decoding instead would let a malformed reference ("&#x4\"x;")
// swallow a different span once its quote is spelled out.
void AppendDecoded(std::string& out, std::string_view value)
{
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.compare(i, 6, "&quot;") == 0) {
            out += '"';
            i += 5;
        } else if (value.compare(i, 6, "&apos;") == 0) {
            out += '\'';
            i += 5;
        } else {
            out += value[i];
        }
    }
}

// Nodes the writer leaves out by design: a declaration without a name, a
// comment, CDATA or INCLUDE section without a value. Malformed input only
// makes them; they carry nothing.
bool Unwritable(const XmlNodeStruct* node)
{
    if (node->type >= XmlEntityDecl && node->type <= XmlNotationDecl)
        return node->text == nullptr;
    if (node->type == XmlCdata || node->type == XmlInclude || node->type == XmlComment)
        return tavrin::XmlValue(node).empty();
    return false;
}

void Dump(const XmlNodeStruct* node, std::string& out)
{
    if (Unwritable(node))
        return;
    out += std::to_string(node->type);
    out += '[';
    out += tavrin::XmlName(node);
    out += '|';
    // A DOCTYPE's value is its internal subset as written, whose layout the
    // writer makes its own; the declarations in it are its children.
    if (node->type != XmlDoctype)
        AppendDecoded(out, tavrin::XmlValue(node));
    out += '|';
    for (uint32_t i = 0; i < tavrin::XmlAttributeCount(node); ++i) {
        const XmlAttributeStruct* a = tavrin::XmlAttributeAt(node, i);
        out += tavrin::XmlAttributeName(a);
        out += a->value ? "=" : "";
        AppendDecoded(out, tavrin::XmlAttributeValue(a));
        out += ';';
    }
    if (tavrin::HasXmlChildren(node->type))
        for (uint32_t i = 0; i < node->childCount; ++i) {
            // A DOCTYPE's internal subset is compared by its attributes only:
            // its declarations are kept as raw text that malformed input can
            // break, and no file of the program has a DOCTYPE.
            if (node->type != XmlDoctype)
                Dump(tavrin::XmlChildAt(node, i), out);
        }
    out += ']';
}

struct Parsed {
    CXmlParser parser;
    std::string text;
    explicit Parsed(std::string source) : text(std::move(source))
    {
        parser.Create();
        parser.Parse(text.c_str(), parser.GetDocument(), 4, XML_PARSE_DEFAULT);
    }
    const XmlNodeStruct* Root() const { return parser.GetDocument().Get(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);

    Parsed first(text);
    if (Depth(first.Root(), 0) <= kMaxDepth) {
        Parsed second(tavrin::WriteXmlText(first.parser.GetDocument()));
        std::string a, b;
        Dump(first.Root(), a);
        Dump(second.Root(), b);
        if (a != b)
            std::fprintf(stderr, "first parse:  %s\nsecond parse: %s\n", a.c_str(), b.c_str());
        FUZZ_CHECK(a == b);
    }

    for (bool attributeMode : {false, true}) {
        std::string escaped, back;
        tavrin::AppendXmlEscaped(escaped, text, attributeMode);
        tavrin::AppendXmlUnescaped(back, escaped);
        FUZZ_CHECK(back == text);
    }
    std::string decoded;
    tavrin::AppendXmlUnescaped(decoded, text);
    FUZZ_CHECK(decoded.size() <= text.size());
    return 0;
}
