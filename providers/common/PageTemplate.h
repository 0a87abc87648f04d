// Page templates of the providers: HTML files of the styles folder whose data
// block (between "<!--", a label and the GBK words "data variables assigned:
// start" then "-->", and the same with "end") holds script assignments with
// "%s" placeholders.
// The block is filled by our own substitution: it comes from a data file and
// is never used as a printf format.
#pragma once

#include "platform/base/String.h"

#include <vector>

namespace tavrin {

// Reads a template whole, bytes unchanged; false (text empty) when the file
// cannot be read.
bool ReadTemplateFile(const CString& path, CString& text);

// The text between the first start marker and the first end marker after
// it; the markers are matched in any ASCII letter case and the search stops
// at the first NUL byte of text. False when either is missing.
bool FindMarkedBlock(const CString& text, const CString& startMarker, const CString& endMarker, CString& block);
// The data block of a label, e.g. the GBK word for "contacts" in the
// contact list's page.
bool FindDataBlock(const CString& text, const CString& label, CString& block);

// Each "%s" of format takes the next value, "%%" is one percent sign; values
// missing at the end count as empty texts, extra values are ignored; any
// other '%' stays as written.
CString FillFormat(const CString& format, const std::vector<CString>& values);

// Fills the data block of label with values and replaces every occurrence of
// the block's text in text by the result; the markers stay. Returns false
// and leaves text unchanged when there is no block or the block is empty.
bool FillDataBlock(CString& text, const CString& label, const std::vector<CString>& values);

} // namespace tavrin

namespace tavrin {

// FillDataBlock with every value escaped for a script string first: the
// templates put each placeholder inside a string literal.
bool FillScriptDataBlock(CString& text, const CString& label, const std::vector<CString>& values);

} // namespace tavrin
