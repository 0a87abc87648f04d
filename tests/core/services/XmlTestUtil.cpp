#include "tests/core/services/XmlTestUtil.h"

#include "core/services/XmlTree.h"

namespace tavrin::test {

namespace {
void DumpAttributes(std::string& out, const XmlNodeStruct* n)
{
    uint32_t count = XmlAttributeCount(n);
    if (!count)
        return;
    out += '[';
    for (uint32_t i = 0; i < count; ++i) {
        const XmlAttributeStruct* a = XmlAttributeAt(n, i);
        if (i)
            out += ',';
        out += XmlAttributeName(a);
        if (a->value) {
            out += '=';
            out += XmlAttributeValue(a);
        }
    }
    out += ']';
}

void Dump(std::string& out, const XmlNodeStruct* n)
{
    auto quoted = [&](const char* prefix) {
        out += prefix;
        out += '\'';
        out += XmlValue(n);
        out += '\'';
    };
    switch (n->type) {
    case XmlElement: out += XmlName(n); DumpAttributes(out, n); break;
    case XmlPcdata: quoted(""); break;
    case XmlCdata: quoted("C"); break;
    case XmlComment: quoted("#"); break;
    case XmlInclude: quoted("I"); break;
    case XmlPi: out += '?'; out += XmlName(n); DumpAttributes(out, n); break;
    case XmlDoctype: out += "!DOCTYPE"; DumpAttributes(out, n); quoted(""); break;
    default:
        out += '!' + std::to_string(n->type) + ':';
        out += XmlName(n);
        quoted("");
        break;
    }
    if (HasXmlChildren(n->type) && n->childCount) {
        out += '{';
        for (uint32_t i = 0; i < n->childCount; ++i) {
            if (i)
                out += ' ';
            Dump(out, XmlChildAt(n, i));
        }
        out += '}';
    }
}
} // namespace

std::string DumpXml(const CXmlNode& node)
{
    const XmlNodeStruct* n = node.Get();
    if (!n)
        return "<empty>";
    std::string out;
    if (n->type != XmlDocument) {
        Dump(out, n);
        return out;
    }
    for (uint32_t i = 0; i < n->childCount; ++i) {
        if (i)
            out += ' ';
        Dump(out, XmlChildAt(n, i));
    }
    return out;
}

void ParseText(CXmlParser& parser, const std::string& text)
{
    parser.Create();
    parser.Parse(text.c_str(), parser.GetDocument(), 4, XML_PARSE_DEFAULT);
}

} // namespace tavrin::test
