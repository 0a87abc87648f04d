// Helpers of the XML tests: a compact dump of a tree, and parsing from text.
#pragma once

#include "core/services/XmlNode.h"
#include "core/services/XmlParser.h"

#include <string>

namespace tavrin::test {

// One token per node, children in braces:
//   element   name[attr=value,bare]{...}
//   text 'v'   CDATA C'v'   comment #'v'   INCLUDE I'v'   PI ?name[...]
//   DOCTYPE   !DOCTYPE[...]'subset'{...}   declaration !<type>:name'value'
std::string DumpXml(const CXmlNode& node);

// Parses text into a fresh document of the parser; the text must outlive it.
void ParseText(CXmlParser& parser, const std::string& text);

} // namespace tavrin::test
