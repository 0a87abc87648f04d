// A text area's list split into records ("^~`@") and fields ("`|"): joined
// again the pieces give the text back, no piece holds a separator, no
// record is empty, and every cut falls on a character boundary, so a
// double-byte character whose second byte is '`' or '^' is never cut.
#include "fuzz/FuzzText.h"
#include "providers/5460/RecordSplit.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Offsets at which a character begins, as the program walks GBK text.
std::vector<bool> Boundaries(std::string_view text)
{
    std::vector<bool> at(text.size() + 1, false);
    for (size_t p = 0; p < text.size(); p += static_cast<size_t>(tavrin::CharLength(text.data() + p, text.data() + text.size())))
        at[p] = true;
    at[text.size()] = true;
    return at;
}

// Checks that the pieces and separators make up text in order, every
// separator at a character boundary. When skipEmpty, runs of separators stand
// for empty pieces that were left out.
void CheckCuts(std::string_view text, const std::vector<CString>& pieces, std::string_view separator, bool skipEmpty)
{
    const std::vector<bool> boundary = Boundaries(text);
    auto separatorAt = [&](size_t p) { return boundary[p] && text.substr(p, separator.size()) == separator; };
    size_t p = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::string_view piece = pieces[i].View();
        FUZZ_CHECK(CString(piece).Find(CString(separator)) < 0);
        if (skipEmpty) {
            FUZZ_CHECK(!piece.empty());
            while (separatorAt(p))
                p += separator.size();
        }
        FUZZ_CHECK(boundary[p] && text.substr(p, piece.size()) == piece);
        p += piece.size();
        if (i + 1 < pieces.size() || (skipEmpty && p < text.size())) {
            FUZZ_CHECK(separatorAt(p));
            p += separator.size();
        }
    }
    while (skipEmpty && p < text.size() && separatorAt(p))
        p += separator.size();
    FUZZ_CHECK(p == text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<CString> records = tavrin::p5460::SplitRecords(CString(text));
    CheckCuts(text, records, tavrin::p5460::kRecordSeparator, true);

    for (const CString& record : records) {
        std::vector<CString> fields = tavrin::p5460::SplitFields(record);
        if (record.View() == tavrin::p5460::kFieldSeparator) {
            FUZZ_CHECK(fields.empty());
            continue;
        }
        CheckCuts(record.View(), fields, tavrin::p5460::kFieldSeparator, false);
        FUZZ_CHECK(tavrin::p5460::FieldAt(fields, fields.size()).IsEmpty());
    }
    // Fields straight from the whole text too: it need not hold a record
    // separator at all.
    std::vector<CString> fields = tavrin::p5460::SplitFields(CString(text));
    if (!text.empty() && text != tavrin::p5460::kFieldSeparator)
        CheckCuts(text, fields, tavrin::p5460::kFieldSeparator, false);
    return 0;
}
