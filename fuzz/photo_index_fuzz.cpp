// The photo index update on hostile pages: an index page, a photo's page, its
// comment page and the picture's bytes (the input's four parts, split at
// 0x01) served to the real store code, which reads the blocks, fields,
// details, image address and comments into picture.xml and downloads the
// picture. No exception escapes; every stored photo has a numeric id; every
// file written lies in the class's pictures folder under a name the store
// makes (the id and a short alphanumeric extension), which SafeFileName
// keeps as it is; the saved document reloads with the same items.
#include "fuzz/Class5460.h"
#include "fuzz/FuzzText.h"
#include "platform/base/Path.h"
#include "providers/5460/PictureStore5460.h"
#include "providers/common/SafeFileName.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

const std::vector<const char*> kAttributes = {"custo_id", "id", "small_id", "status"};
const std::vector<const char*> kChildren = {"click",   "comment_num", "upload_time", "tile",
                                            "upload_user", "comment", "comment_id", "description",
                                            "file_name", "url",       "rank"};

bool IsStoreFileName(const std::string& name)
{
    size_t dot = name.find('.');
    if (!fuzz::IsDigits(name.substr(0, dot)))
        return false;
    if (dot == std::string::npos)
        return true;
    std::string extension = name.substr(dot + 1);
    if (extension.empty() || extension.size() > 5)
        return false;
    for (char c : extension)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts = fuzz::SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), '\x01');
    parts.resize(4);

    fuzz::Class5460& fixture = fuzz::Class5460::Get();
    auto* store = static_cast<CPictureStore5460*>(fixture.schoolClass->GetPictureStore());
    const std::filesystem::path classFolder = tavrin::NativePath(store->GetClassFolder().View());
    std::filesystem::remove_all(classFolder);
    fixture.site.SetRoutes({{"picture/picture.jsp", parts[0]},
                            {"picture/newpictureview.jsp", parts[1]},
                            {"picture/picturePL.jsp", parts[2]},
                            {"", parts[3]}});
    CXmlFile& xml = *store->GetXmlFile();
    xml.Clear();
    store->LoadItems(FALSE);
    CStringArray ids;
    // Mode 2 also reads the details and downloads the pictures.
    store->UpdateIndex(ids, 2);

    std::vector<fuzz::StoredItem> items = fuzz::StoredItems(xml, "picture", "item", kAttributes, kChildren);
    for (const fuzz::StoredItem& item : items) {
        FUZZ_CHECK(fuzz::IsDigits(item.at("@id")));
        const std::string& name = item.at("file_name");
        FUZZ_CHECK(name.empty() || IsStoreFileName(name));
    }
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(classFolder, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file())
            continue;
        const std::filesystem::path& file = it->path();
        const std::string name = file.filename().string();
        if (file.parent_path() == classFolder && name == "picture.xml")
            continue;
        FUZZ_CHECK(file.parent_path() == classFolder / "pictures");
        FUZZ_CHECK(IsStoreFileName(name));
        FUZZ_CHECK(tavrin::SafeFileName(CString(name.c_str())).Str() == name);
    }

    FUZZ_CHECK(xml.Save());
    CXmlFile reloaded;
    // An empty document may have no file to read.
    FUZZ_CHECK(reloaded.Load(store->GetClassFolder() + "\\" + store->GetXmlFileName(), FALSE) || items.empty());
    FUZZ_CHECK(fuzz::SameItems(items, fuzz::StoredItems(reloaded, "picture", "item", kAttributes, kChildren)));
    return 0;
}
