#include "providers/5460/RecordSplit.h"

namespace tavrin::p5460 {

namespace {

std::vector<CString> Split(const CString& text, const char* separator)
{
    std::vector<CString> pieces;
    const int length = CString(separator).GetLength();
    int start = 0;
    for (int at = text.Find(separator); at >= 0; at = text.Find(separator, start)) {
        pieces.push_back(text.Mid(start, at - start));
        start = at + length;
    }
    pieces.push_back(text.Mid(start));
    return pieces;
}

} // namespace

std::vector<CString> SplitRecords(const CString& data)
{
    std::vector<CString> records;
    for (CString& r : Split(data, kRecordSeparator))
        if (!r.IsEmpty())
            records.push_back(std::move(r));
    return records;
}

std::vector<CString> SplitFields(const CString& record)
{
    if (record.IsEmpty() || record == kFieldSeparator)
        return {};
    return Split(record, kFieldSeparator);
}

CString FieldAt(const std::vector<CString>& fields, size_t index)
{
    return index < fields.size() ? fields[index] : CString();
}

} // namespace tavrin::p5460
