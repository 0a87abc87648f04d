// CXmlParser: loads a file into a node tree with one non-validating pass.
// Names and values of parsed nodes point into the loaded text, which the
// parser keeps as long as the tree; entity references stay undecoded.
#pragma once

#include "core/services/XmlNode.h"
#include "platform/base/ArrayAllocator.h"
#include "platform/base/Types.h"

#include <cstddef>
#include <string>
#include <vector>

// Parse options; the program always uses every one (0xFFFF).
enum : DWORD {
    XML_PARSE_PI = 0x0002,
    XML_PARSE_DOCTYPE = 0x0004,
    XML_PARSE_COMMENTS = 0x0008,
    XML_PARSE_CDATA = 0x0010,
    XML_TRIM_PCDATA = 0x0040,
    XML_TRIM_ATTRIBUTES = 0x0080,
    XML_TRIM_CDATA = 0x0100,
    XML_TRIM_DECLARATIONS = 0x0200,
    XML_TRIM_DOCTYPE = 0x0400,
    XML_TRIM_COMMENTS = 0x0800,
    XML_PARSE_DTD = 0x2000,
    XML_DTD_ONLY = 0x4000,
    XML_PARSE_DEFAULT = 0xFFFF,
    XML_PARSE_KEEP_OPTIONS = 0x80000000,
};

namespace tavrin {
class XmlTree;
}

class CXmlParser {
public:
    CXmlParser();
    virtual ~CXmlParser();
    CXmlParser(const CXmlParser&) = delete;
    CXmlParser& operator=(const CXmlParser&) = delete;

    // Reads the file whole and parses it into a new document. FALSE (and no
    // document) when the file is missing, unreadable or empty; a malformed
    // file loads as far as it parses.
    BOOL LoadFile(const char* fileName, DWORD options = XML_PARSE_KEEP_OPTIONS, DWORD chunkSize = 1024000);
    // A new empty document.
    void Create();
    CXmlNode GetDocument() const;
    // Parses NUL-terminated text into nodes under parent and returns where it
    // stopped. The tree points into text: it must outlive the tree.
    const char* Parse(const char* text, const CXmlNode& parent, int growthStep, DWORD options);

    // The storage of the current tree (null without a document).
    tavrin::XmlTree* GetTree() const { return m_tree; }

private:
    void Free();

    tavrin::XmlTree* m_tree = nullptr;
    BYTE m_ownsTree = 1;
    // The loaded file up to its first NUL, NUL-terminated; a large file
    // lies on huge pages.
    std::vector<char, tavrin::ArrayAllocator<char>> m_text;
    const char* m_parseEnd = nullptr;
    DWORD m_options = XML_PARSE_DEFAULT;
};

// The whole file (NUL-terminated, as a std::string is); FALSE when the file
// cannot be read or is empty.
BOOL ReadWholeFile(const char* fileName, DWORD chunkSize, std::string& data);
