// Splitting text into pieces: CStringTokenizer walks a text token by token;
// SplitString cuts it at every occurrence of a separator.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

#include <cstdint>

class CStringTokenizer {
public:
    // Copies the text; every byte of delimiters becomes a delimiter.
    CStringTokenizer(const CString& text, const CString& delimiters);

    // Skips delimiters, then out = the bytes up to the next delimiter or the
    // end; false (out empty) when only delimiters were left. A double-byte
    // character is never a delimiter, whatever its bytes.
    bool NextToken(CString& out);

private:
    bool IsDelimiter(int position) const;

    CString m_text;
    uint32_t m_delimiters[8] = {};
    int m_position = 0;
};

// Empties out, removes every TAB from the text and adds each piece between
// separators, trimmed of white space; empty pieces are kept, so an empty text
// gives one empty piece and a text ending in the separator a last empty one.
// The separator only matches at character starts.
void SplitString(const CString& text, const CString& separator, CStringArray& out);
