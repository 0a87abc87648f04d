#include "core/services/StringTokenizer.h"

CStringTokenizer::CStringTokenizer(const CString& text, const CString& delimiters)
    : m_text(text)
{
    for (char ch : delimiters.View()) {
        unsigned char b = static_cast<unsigned char>(ch);
        m_delimiters[b >> 5] |= 1u << (b & 31);
    }
}

bool CStringTokenizer::IsDelimiter(int position) const
{
    const char* p = m_text.GetString() + position;
    if (tavrin::CharLength(p, m_text.GetString() + m_text.GetLength()) != 1)
        return false;
    unsigned char b = static_cast<unsigned char>(*p);
    return (m_delimiters[b >> 5] >> (b & 31)) & 1;
}

bool CStringTokenizer::NextToken(CString& out)
{
    out = CString();
    const char* begin = m_text.GetString();
    const char* end = begin + m_text.GetLength();
    int length = m_text.GetLength();
    while (m_position < length && IsDelimiter(m_position))
        ++m_position;
    if (m_position >= length)
        return false;
    int first = m_position;
    while (m_position < length && !IsDelimiter(m_position))
        m_position += tavrin::CharLength(begin + m_position, end);
    out = CString(begin + first, m_position - first);
    return true;
}

void SplitString(const CString& text, const CString& separator, CStringArray& out)
{
    out.RemoveAll();
    if (text.IsEmpty()) {
        out.Add(CString());
        return;
    }
    CString rest(text);
    rest.Remove('\t');
    int position = 0;
    if (!separator.IsEmpty()) {
        for (int found; (found = rest.Find(separator, position)) >= 0; position = found + separator.GetLength()) {
            CString piece = rest.Mid(position, found - position);
            out.Add(piece.Trim());
        }
    }
    CString last = rest.Mid(position);
    out.Add(last.Trim());
}
