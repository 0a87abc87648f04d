// The message board's update on hostile pages: one list page and one reply
// page (the input's two parts, split at the first 0x01) served to the real
// store code, which reads the list blocks, the pinned messages and the
// replies into message.xml. No exception escapes; every stored message has a
// numeric id and its replies numeric or empty ones; every stored content
// passes the sanitiser unchanged, as the page runs it; the saved document reloads with the same
// items.
#include "core/services/StringTokenizer.h"
#include "fuzz/Class5460.h"
#include "fuzz/FuzzText.h"
#include "providers/5460/MessageStore5460.h"
#include "providers/5460/MessageText.h"
#include "providers/common/HtmlSanitizer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace {

const std::vector<const char*> kAttributes = {"custo_id", "id", "read"};
const std::vector<const char*> kChildren = {"title", "time", "user", "user_id", "content", "id", "reply_number"};

std::vector<std::string> Pieces(const std::string& joined)
{
    CStringArray parts;
    SplitString(CString(joined.c_str(), static_cast<int>(joined.size())), tavrin::p5460::kReplySeparator, parts);
    std::vector<std::string> out;
    for (INT_PTR i = 0; i < parts.GetSize(); ++i)
        out.push_back(parts[i].Str());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\x01');
    std::string list(input.substr(0, cut));
    std::string replies(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));

    fuzz::Class5460& fixture = fuzz::Class5460::Get();
    auto* store = static_cast<CMessageStore5460*>(fixture.schoolClass->GetMessageStore());
    fixture.site.SetRoutes({{"liuyan/critique.jsp", replies}, {"liuyan/liuyan.jsp", list}});
    CXmlFile& xml = *store->GetXmlFile();
    xml.Clear();
    // Read-all, two pages at most: the page total is the site's to claim.
    store->Update(2, 1);

    std::vector<fuzz::StoredItem> items = fuzz::StoredItems(xml, "message", "item", kAttributes, kChildren);
    for (const fuzz::StoredItem& item : items) {
        std::vector<std::string> ids = Pieces(item.at("@id"));
        FUZZ_CHECK(!ids.empty() && fuzz::IsDigits(ids[0]));
        for (size_t i = 1; i < ids.size(); ++i)
            FUZZ_CHECK(ids[i].empty() || fuzz::IsDigits(ids[i]));
        // As the page sanitises it: our own photo links of a notice pass.
        const CString content(item.at("content").c_str(), static_cast<int>(item.at("content").size()));
        FUZZ_CHECK(tavrin::p5460::SanitizeForPage(content) == content);
    }

    FUZZ_CHECK(xml.Save());
    CXmlFile reloaded;
    // An empty document may have no file to read.
    FUZZ_CHECK(reloaded.Load(store->GetClassFolder() + "\\" + store->GetXmlFileName(), FALSE) || items.empty());
    FUZZ_CHECK(fuzz::SameItems(items, fuzz::StoredItems(reloaded, "message", "item", kAttributes, kChildren)));
    return 0;
}
