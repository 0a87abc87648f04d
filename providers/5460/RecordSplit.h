// The 5460 pages hand lists over in a text area: records separated by
// "^~`@", fields of a record by "`|". Both separators are found only at
// character boundaries: a double-byte character whose second byte is '`'
// (or '^') never starts one.
#pragma once

#include "platform/base/String.h"

#include <vector>

namespace tavrin::p5460 {

inline constexpr char kRecordSeparator[] = "^~`@";
inline constexpr char kFieldSeparator[] = "`|";

// The records in page order; empty records are left out.
std::vector<CString> SplitRecords(const CString& data);
// The fields of one record: empty fields between, before and after
// separators stay fields. A record that is empty or exactly one separator
// has no field.
std::vector<CString> SplitFields(const CString& record);
// Field index of fields, or an empty text when the record is short.
CString FieldAt(const std::vector<CString>& fields, size_t index);

} // namespace tavrin::p5460
