#include "platform/win/Resource.h"

#include "platform/base/CodePage.h"
#include "platform/base/String.h"
#include "platform/win/OptionalLibrary.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace tavrin::win {

namespace {

// A type or name: the number, or the upper-case string (number 0).
struct Key {
    WORD id = 0;
    std::string name;
    bool operator<(const Key& o) const { return id != o.id ? id < o.id : name < o.name; }
};

std::string Upper(const char* s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool MakeKey(LPCSTR nameOrId, Key& key)
{
    if (!nameOrId)
        return false;
    if (IS_INTRESOURCE(nameOrId)) {
        key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(nameOrId));
        return true;
    }
    if (nameOrId[0] == '#') {
        char* end = nullptr;
        unsigned long v = std::strtoul(nameOrId + 1, &end, 10);
        if (end == nameOrId + 1 || *end || v > 0xFFFF)
            return false;
        key.id = static_cast<WORD>(v);
        return true;
    }
    key.name = Upper(nameOrId);
    return true;
}

struct Module {
    std::map<std::pair<Key, Key>, const ResourceEntry*> index;
    std::set<const ResourceEntry*> entries;
};

struct Registry {
    std::mutex lock;
    std::map<HMODULE, Module> modules;
    std::set<std::unique_ptr<char>> tokens; // handles of test modules
};

Registry& GetRegistry()
{
    static Registry* registry = new Registry; // used by static initialisers; never torn down
    return *registry;
}

Key EntryKey(WORD id, const char* name)
{
    Key k;
    if (name)
        k.name = Upper(name);
    else
        k.id = id;
    return k;
}

// Caller holds the lock. False when a resource of the table is there already.
bool AddTable(Module& module, const ResourceTable& table)
{
    bool ok = true;
    for (size_t i = 0; i < table.count; ++i) {
        const ResourceEntry& e = table.entries[i];
        if (!e.data)
            continue;
        auto key = std::make_pair(EntryKey(e.typeId, e.typeName), EntryKey(e.nameId, e.name));
        if (!module.index.emplace(key, &e).second) {
            std::fprintf(stderr, "resources: %s of type %s is defined twice; the first is kept\n",
                         e.name ? e.name : std::to_string(e.nameId).c_str(),
                         e.typeName ? e.typeName : std::to_string(e.typeId).c_str());
            ok = false;
            continue;
        }
        module.entries.insert(&e);
    }
    return ok;
}

const ResourceEntry* Entry(HMODULE module, HRSRC resource)
{
    auto* entry = reinterpret_cast<const ResourceEntry*>(resource);
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    auto it = r.modules.find(ResourceModule(module));
    if (!entry || it == r.modules.end() || !it->second.entries.count(entry))
        return nullptr;
    return entry;
}

} // namespace

int CopyWholeCharacters(const std::string& gbk, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return static_cast<int>(gbk.size());
    // A lead byte without its trail stays out.
    const char* begin = gbk.data();
    const char* end = begin + gbk.size();
    const char* p = begin;
    while (p < end) {
        const int n = CharLength(p, end);
        if (p - begin + n > size - 1)
            break;
        p += n;
    }
    const size_t length = static_cast<size_t>(p - begin);
    std::memcpy(buffer, begin, length);
    buffer[length] = 0;
    return static_cast<int>(length);
}

HMODULE ResourceModule(HMODULE module)
{
    return module ? module : GetModuleHandleA(nullptr);
}

bool AddProgramResources(const ResourceTable& table)
{
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    return AddTable(r.modules[GetModuleHandleA(nullptr)], table);
}

HMODULE CreateResourceModule(const ResourceTable& table)
{
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    auto token = std::make_unique<char>();
    HMODULE handle = reinterpret_cast<HMODULE>(token.get());
    Module module;
    if (!AddTable(module, table))
        return nullptr;
    r.modules[handle] = std::move(module);
    r.tokens.insert(std::move(token));
    return handle;
}

void DestroyResourceModule(HMODULE module)
{
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    if (module == GetModuleHandleA(nullptr))
        return;
    r.modules.erase(module);
    for (auto it = r.tokens.begin(); it != r.tokens.end(); ++it)
        if (reinterpret_cast<HMODULE>(it->get()) == module) {
            r.tokens.erase(it);
            break;
        }
}

const ResourceEntry* FindResourceEntry(HMODULE module, LPCSTR name, LPCSTR type)
{
    Key nameKey, typeKey;
    if (!MakeKey(name, nameKey) || !MakeKey(type, typeKey)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Registry& r = GetRegistry();
    std::lock_guard<std::mutex> lock(r.lock);
    auto m = r.modules.find(ResourceModule(module));
    if (m == r.modules.end()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    auto it = m->second.index.find(std::make_pair(typeKey, nameKey));
    if (it == m->second.index.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

bool LoadResourceString(HMODULE module, UINT id, std::string& gbk)
{
    gbk.clear();
    if (id > 0xFFFF)
        return false;
    const ResourceEntry* e = FindResourceEntry(module, MAKEINTRESOURCEA((id >> 4) + 1), RT_STRING);
    if (!e)
        return false;
    // Sixteen counted strings of 16-bit units; a count past the end is damage.
    size_t at = 0;
    for (UINT i = 0;; ++i) {
        if (at + 2 > e->size)
            return false;
        const size_t count = e->data[at] | (size_t(e->data[at + 1]) << 8);
        at += 2;
        if (at + count * 2 > e->size)
            return false;
        if (i == (id & 15)) {
            if (count == 0)
                return false;
            std::wstring wide;
            wide.reserve(count);
            for (size_t k = 0; k < count; ++k)
                wide += static_cast<wchar_t>(e->data[at + 2 * k] | (e->data[at + 2 * k + 1] << 8));
            gbk = WideToGbk(wide);
            return true;
        }
        at += count * 2;
    }
}

} // namespace tavrin::win

using namespace tavrin::win;

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type)
{
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(FindResourceEntry(module, name, type)));
}

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD)
{
    return FindResourceA(module, name, type);
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    const ResourceEntry* e = Entry(module, resource);
    if (!e) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(e->data);
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    const ResourceEntry* e = Entry(module, resource);
    if (!e) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return e->size;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE;
}

int LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    std::string text;
    if (!LoadResourceString(module, id, text)) {
        buffer[0] = 0;
        return 0;
    }
    return CopyWholeCharacters(text, buffer, size);
}
