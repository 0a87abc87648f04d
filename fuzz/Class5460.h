// A signed-in 5460 account with class "301" in a temporary program folder,
// reaching a loopback site through the proxy setting: the store fuzz targets
// run the stores' real update code against pages of their own.
#pragma once

#include "core/services/Config.h"
#include "core/services/XmlCursor.h"
#include "fuzz/FuzzText.h"
#include "fuzz/LoopbackSite.h"
#include "platform/base/Path.h"
#include "platform/base/Time.h"
#include "providers/5460/Account5460.h"
#include "providers/5460/SchoolClass5460.h"
#include "providers/common/NumericId.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace fuzz {

struct Class5460 {
    LoopbackSite site;
    CAccount5460 account;
    CSchoolClass5460* schoolClass = nullptr;

    Class5460()
    {
        const std::string folder = TempFolder("tavrin-fuzz-class").string();
        tavrin::SetProgramFolder(tavrin::ProgramPath(folder));
        tavrin::ReloadConfig();
        SetConfig(CFG_PROXY_HOST, "127.0.0.1");
        SetConfig(CFG_PROXY_PORT, CString(std::to_string(site.Port()).c_str()));
        account.SetProvider("5460(电信用户)");
        account.SetUserNameAndPassword("li", "pw");
        account.SetDataFolder(tavrin::ProgramPath(folder + "/accounts/li@5460"));
        // A fresh sign-in: the stores ask nothing but their own pages.
        account.SetCookie("JSESSIONID=fuzz");
        account.SetCookieTime(CTime::GetCurrentTime());
        schoolClass = static_cast<CSchoolClass5460*>(account.CreateClass());
        schoolClass->SetAccount(&account);
        schoolClass->SetId("301");
        account.AddClass(schoolClass);
        schoolClass->CreateStores();
    }

    // Lives as long as the process, as libFuzzer's inputs do.
    static Class5460& Get()
    {
        static Class5460* instance = new Class5460;
        return *instance;
    }
};

// The items of a store's document: each element's attributes and its
// children's texts, in document order.
using StoredItem = std::map<std::string, std::string>;

// A value as the stored form gives it back: the reader trims the control
// characters at either end of a text (spaces are written as "&nbsp;").
inline std::string AsReloaded(std::string value)
{
    auto control = [](char c) { return c >= 1 && c < 0x20; };
    while (!value.empty() && control(value.back()))
        value.pop_back();
    size_t first = 0;
    while (first < value.size() && control(value[first]))
        ++first;
    return value.substr(first);
}

inline std::vector<StoredItem> StoredItems(CXmlFile& xml, const char* root, const char* element,
                                           const std::vector<const char*>& attributes,
                                           const std::vector<const char*>& children)
{
    std::vector<StoredItem> items;
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem(root) || !cursor.FindChildElem(element))
        return items;
    do {
        StoredItem item;
        for (const char* name : attributes)
            item[std::string("@") + name] = cursor.GetAttrib(name).Str();
        for (const char* name : children)
            item[name] = cursor.GetChildData(name).Str();
        items.push_back(std::move(item));
    } while (xml.FindNextElem(TRUE, cursor.GetId()));
    return items;
}

// Only the digits 0-9, at least one, as the provider's ids are.
// True when the reloaded document holds the items as read, up to the
// trimming of the stored form; names the first field that differs.
inline bool SameItems(const std::vector<StoredItem>& a, const std::vector<StoredItem>& b)
{
    if (a.size() != b.size()) {
        std::fprintf(stderr, "items: %zu, reloaded %zu\n", a.size(), b.size());
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i)
        for (const auto& [name, value] : a[i])
            if (b[i].at(name) != AsReloaded(value)) {
                std::fprintf(stderr, "item %zu %s: [%s], reloaded [%s]\n", i, name.c_str(), value.c_str(),
                             b[i].at(name).c_str());
                return false;
            }
    return true;
}

inline bool IsDigits(const std::string& text)
{
    return tavrin::IsNumericId(CString(text.c_str(), static_cast<int>(text.size())));
}

} // namespace fuzz
