// The album's data scripts as the ChinaRen photo update reads them: an index
// page, a photo data script, a comments script and a class id (the input's
// four parts, split at 0x01). Script addresses come out of the page; records
// come out of the script highest id first; a record that is read names a
// file only by a digit id and a short alphanumeric extension, and only when
// its fields are its own; a comment table is one whole table.
#include "fuzz/FuzzText.h"
#include "providers/chinaren/AlbumRecords.h"
#include "providers/chinaren/PictureStoreChinaRen.h"
#include "providers/common/NumericId.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool Contains(const std::string& text, const CString& piece)
{
    return text.find(piece.Str()) != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts = fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\x01');
    parts.resize(4);
    // The page searches read a NUL byte as a blank.
    std::vector<std::string> seen = parts;
    for (std::string& part : seen)
        for (char& c : part)
            c = c == '\0' ? ' ' : c;
    const CString page(parts[0].c_str(), static_cast<int>(parts[0].size()));
    const CString script(parts[1].c_str(), static_cast<int>(parts[1].size()));
    const CString comments(parts[2].c_str(), static_cast<int>(parts[2].size()));
    const CString classId(parts[3].c_str(), static_cast<int>(parts[3].size()));

    CString dataUrl, commentsUrl;
    tavrin::chinaren::FindAlbumScripts(page, dataUrl, commentsUrl);
    FUZZ_CHECK(Contains(seen[0], dataUrl) && Contains(seen[0], commentsUrl));
    FUZZ_CHECK(Contains(seen[0], tavrin::chinaren::FindReloadDataScript(page)));

    const tavrin::chinaren::AlbumComments index(comments);
    const std::vector<CString> records = tavrin::chinaren::PhotoRecords(script);
    CString previous;
    for (const CString& record : records) {
        FUZZ_CHECK(Contains(seen[1], record));
        // The record pattern ignores case; the field pattern does not.
        FUZZ_CHECK(record.Left(3).CompareNoCase("pl[") == 0 && record.Right(1) == ";");
        CPictureItemChinaRen item;
        if (!tavrin::chinaren::ReadPhotoRecord(record, classId, item))
            continue;
        FUZZ_CHECK(tavrin::IsNumericId(item.m_id));
        FUZZ_CHECK(tavrin::chinaren::IsPhotoFileName(item.m_fileName));
        FUZZ_CHECK(item.m_fileName.Left(item.m_id.GetLength() + 1) == item.m_id + ".");
        // Highest id first.
        if (!previous.IsEmpty())
            FUZZ_CHECK(tavrin::CompareIds(previous, item.m_id) >= 0);
        previous = item.m_id;
        tavrin::chinaren::IsAlbumPhotoUrl(item.m_url);

        CString count = "unchanged";
        CString html;
        if (!index.Find(item.m_id, count, html)) {
            FUZZ_CHECK(count == "unchanged");
            continue;
        }
        FUZZ_CHECK(tavrin::IsNumericId(count) && atoi(count) > 0);
        FUZZ_CHECK(html.Left(6) == "<table" && html.Right(8) == "</table>");
    }
    tavrin::chinaren::RecordTime(script.Left(24));
    return 0;
}
