// The text form of every XML file the program writes (no declaration, tab
// indentation, LF line ends, one node per line) and the escaping that keeps
// stored text safe in it. Values are escaped when they go into a tree, written
// as they stand, and unescaped when they are read out.
#pragma once

#include "core/services/XmlNode.h"
#include "platform/base/String.h"

#include <cstring>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace tavrin {

// Buffered byte sink for the writer; hands the bytes on in large pieces.
// Once a piece is refused the output stays failed and takes nothing more.
class XmlOutput {
public:
    XmlOutput();
    virtual ~XmlOutput();
    XmlOutput(const XmlOutput&) = delete;
    XmlOutput& operator=(const XmlOutput&) = delete;

    void Write(const char* data, size_t size)
    {
        if (size <= static_cast<size_t>(m_end - m_pos)) {
            if (size)
                std::memcpy(m_pos, data, size);
            m_pos += size;
        } else {
            WriteSlow(data, size);
        }
    }
    void Write(std::string_view text) { Write(text.data(), text.size()); }
    void Put(char c)
    {
        if (m_pos == m_end)
            Drain();
        *m_pos++ = c;
    }
    // Hands on what is buffered; false once anything was refused.
    bool Flush();
    bool Failed() const { return m_failed; }

protected:
    virtual bool Sink(const char* data, size_t size) = 0;

private:
    void WriteSlow(const char* data, size_t size);
    void Drain();

    std::unique_ptr<char[]> m_buffer;
    char* m_pos;
    char* m_end;
    bool m_failed = false;
};

class XmlStringOutput : public XmlOutput {
public:
    explicit XmlStringOutput(std::string& target) : m_target(target) {}
    ~XmlStringOutput() override { Flush(); }

protected:
    bool Sink(const char* data, size_t size) override;

private:
    std::string& m_target;
};

// Escaping of one value into out; attribute mode also replaces the quotes.
void AppendXmlEscaped(std::string& out, std::string_view text, bool attributeMode);
// Decoding of entity and numeric references into out.
void AppendXmlUnescaped(std::string& out, std::string_view text);
// The whole document (or one node and its subtree) as text.
std::string WriteXmlText(const CXmlNode& node, char indentChar = '\t', bool lineFeeds = true);
// Writes the text form into a file that replaces the old one only when all
// of it was written (the old file stays otherwise); the folder must exist.
bool WriteXmlFile(const char* gbkPath, const CXmlNode& node, char indentChar = '\t', bool lineFeeds = true);

} // namespace tavrin

// The indentation in front of a line: one indent character per level, up
// to kMaxIndent; deeper levels share that indent, so a deeply nested file
// gives text linear in its size instead of quadratic.
class XmlIndentStack {
public:
    static constexpr size_t kMaxIndent = 64;

    explicit XmlIndentStack(char indentChar) : m_char(indentChar) {}
    void Push()
    {
        ++m_depth;
        if (m_char && m_indent.size() < kMaxIndent)
            m_indent.push_back(m_char);
    }
    void Pop()
    {
        if (m_depth == 0)
            return;
        --m_depth;
        if (m_indent.size() > m_depth)
            m_indent.pop_back();
    }
    const std::string& Get() const { return m_indent; }

private:
    char m_char;
    size_t m_depth = 0;
    std::string m_indent;
};

// Writes node and its subtree; stops at once when the output has failed.
void WriteXmlNode(tavrin::XmlOutput& out, XmlIndentStack& indent, const CXmlNode& node, BOOL lineFeeds);
// Writes every top-level node of a document handle, or node and its subtree
// for any other handle; nothing for an empty handle.
void WriteXmlDocument(tavrin::XmlOutput& out, const CXmlNode& node, char indentChar, BOOL lineFeeds);
void WriteXmlDocument(std::ostream& out, const CXmlNode& node, char indentChar, BOOL lineFeeds);

CString XmlEscape(const char* text, BOOL attributeMode);
CString XmlEscapeString(const CString& text, BOOL attributeMode = FALSE);
CString XmlUnescape(const char* text);
CString XmlUnescapeString(const CString& text);
