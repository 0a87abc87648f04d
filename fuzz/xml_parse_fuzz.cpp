// The XML parser on hostile bytes: it must never crash, hang or leak, and
// what it writes back must read back as the same tree. Escaping must
// round-trip any bytes.
#include "core/services/XmlParser.h"
#include "core/services/XmlText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

static std::string ParseAndWrite(const std::string& text)
{
    CXmlParser parser;
    parser.Create();
    parser.Parse(text.c_str(), parser.GetDocument(), 4, XML_PARSE_DEFAULT);
    return tavrin::WriteXmlText(parser.GetDocument());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);

    // Nodes without a name or value write an empty line that reads back as
    // nothing, so the text form is stable from the second round on.
    std::string first = ParseAndWrite(text);
    std::string second = ParseAndWrite(first);
    if (ParseAndWrite(second) != second)
        std::abort();

    for (bool attributeMode : {false, true}) {
        std::string escaped, back;
        tavrin::AppendXmlEscaped(escaped, text, attributeMode);
        tavrin::AppendXmlUnescaped(back, escaped);
        if (back != text)
            std::abort();
    }
    std::string decoded;
    tavrin::AppendXmlUnescaped(decoded, text);
    if (decoded.size() > text.size())
        std::abort();
    return 0;
}
