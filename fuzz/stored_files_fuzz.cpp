// The files the program reads back, hand-edited or damaged: the first input
// byte picks the account file "tavrin.xml" or one store's document, the rest
// is its text. Reading never crashes; a class id read names a safe folder,
// once; what an account reads it writes and reads back the same; a store's
// file is never rewritten by reading and sorting its items. The stored-text
// cipher: Decrypt(Encrypt(x)) == x for any text without NUL, any stored text
// deciphers, and an access record made for a cookie and password reads back
// with its settings.
#include "core/model/AccessRecord.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/services/Password.h"
#include "fuzz/Class5460.h"
#include "fuzz/FuzzText.h"
#include "platform/base/Path.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct AccountFields {
    std::string provider, userName, password, userId, realName, custoName, cookie, cookieTime, accessPassword;
    BOOL accessEnabled = FALSE;
    std::vector<std::string> classIds;
    bool operator==(const AccountFields&) const = default;
};

AccountFields FieldsOf(CAccount& account)
{
    AccountFields f;
    f.provider = account.GetProvider().Str();
    f.userName = account.GetUserName().Str();
    f.password = account.GetPassword().Str();
    f.userId = account.GetUserId().Str();
    f.realName = account.GetRealName().Str();
    f.custoName = account.GetCustoName().Str();
    f.cookie = account.GetCookie().Str();
    f.cookieTime = account.GetCookieTime().Format("%Y%m%d%H%M%S").Str();
    f.accessPassword = account.GetAccessPassword().Str();
    f.accessEnabled = account.IsAccessEnabled();
    for (int i = 0; i < account.GetClassCount(); ++i)
        f.classIds.push_back(account.GetClassAt(i)->GetId().Str());
    return f;
}

void CheckAccountFile(std::string_view text)
{
    std::error_code error;
    static const std::filesystem::path root = fuzz::TempFolder("tavrin-fuzz-account");
    std::filesystem::remove_all(root / "a", error);
    std::filesystem::remove_all(root / "b", error);
    WriteFile(root / "a" / "tavrin.xml", text);

    CAccount5460 account;
    account.SetDataFolder(tavrin::ProgramPath((root / "a").string()));
    int loaded = account.Load(account.GetDataFolder());
    std::set<std::string> ids;
    for (int i = 0; i < account.GetClassCount(); ++i) {
        CString id = account.GetClassAt(i)->GetId();
        FUZZ_CHECK(IsSafeClassId(id));
        FUZZ_CHECK(ids.insert(id.Str()).second);
    }
    if (loaded) {
        account.SetDataFolder(tavrin::ProgramPath((root / "b").string()));
        FUZZ_CHECK(account.SaveAccountFile());
        CAccount5460 again;
        FUZZ_CHECK(again.Load(tavrin::ProgramPath((root / "b").string())));
        FUZZ_CHECK(again.IsLocked() == account.IsLocked());
        FUZZ_CHECK(FieldsOf(again) == FieldsOf(account));
        again.Close();
    }
    account.Close();
}

void CheckStore(CClassStore* store, std::string_view text)
{
    const std::filesystem::path file =
        tavrin::NativePath((store->GetClassFolder() + "\\" + store->GetXmlFileName()).View());
    WriteFile(file, text);
    const std::string before = ReadFile(file);
    if (auto* messages = dynamic_cast<CMessageStore*>(store))
        messages->LoadItems(TRUE);
    else if (auto* pictures = dynamic_cast<CPictureStore*>(store))
        pictures->LoadItems(TRUE);
    else if (auto* contacts = dynamic_cast<CContactStore*>(store))
        contacts->LoadItems(TRUE);
    else if (auto* notes = dynamic_cast<CPrivateStore*>(store))
        notes->LoadItems(TRUE);
    for (int column = 0; column < 8; ++column)
        for (BOOL ascending : {TRUE, FALSE})
            store->SortItems(column, ascending);
    for (int i = 0; i < store->GetItemCount(); ++i)
        FUZZ_CHECK(store->GetItem(i) != nullptr);
    FUZZ_CHECK(ReadFile(file) == before);
}

void CheckCipher(const CString& text)
{
    CString plain = DecryptPassword(text);
    FUZZ_CHECK(plain.Find('\0') < 0);
    std::string_view noNul = text.View().substr(0, text.View().find('\0'));
    const CString clean(noNul);
    FUZZ_CHECK(DecryptPassword(EncryptPassword(clean)) == clean);

    std::vector<std::string> parts = fuzz::SplitInput(noNul, '\x02');
    parts.resize(3);
    const CString cookie(parts[0].c_str()), password(parts[1].c_str()), access(parts[2].c_str());
    for (BOOL enabled : {TRUE, FALSE}) {
        tavrin::AccessState state =
            tavrin::ReadAccessRecord(tavrin::MakeAccessRecord(cookie, password, access, enabled), cookie, password);
        // Protection with a password asks for it: the account opens locked.
        FUZZ_CHECK(state.locked == (enabled && !access.IsEmpty()));
        FUZZ_CHECK(state.enabled == enabled && state.password == access);
    }
    tavrin::AccessState any = tavrin::ReadAccessRecord(plain, cookie, password);
    FUZZ_CHECK(!any.locked || any.password == tavrin::kDefaultAccessPassword);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    // The cipher works bit by bit: a short text is enough and keeps runs fast.
    CheckCipher(CString(text.substr(0, 128)));

    fuzz::Class5460& fixture = fuzz::Class5460::Get();
    CSchoolClass* schoolClass = fixture.schoolClass;
    switch (data[0] % 5) {
    case 0:
        CheckAccountFile(text);
        break;
    case 1:
        CheckStore(schoolClass->GetMessageStore(), text);
        break;
    case 2:
        CheckStore(schoolClass->GetPictureStore(), text);
        break;
    case 3:
        CheckStore(schoolClass->GetContactStore(), text);
        break;
    case 4:
        CheckStore(schoolClass->GetPrivateStore(), text);
        break;
    }
    return 0;
}
