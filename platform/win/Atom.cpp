#include "platform/win/Atom.h"

#include "platform/win/NameFold.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr ATOM kFirstStringAtom = 0xC000;
constexpr size_t kMaxAtomName = 255;

struct Entry {
    std::string name; // empty: a free slot
    std::string folded;
    unsigned refs = 0;
};

std::mutex g_lock;
std::vector<Entry>* const g_atoms = new std::vector<Entry>;

// An integer atom ("#123" or MAKEINTATOM), 0 when the name is a string.
bool IntegerAtom(LPCSTR name, ATOM& atom)
{
    const auto value = reinterpret_cast<ULONG_PTR>(name);
    if (value < 0x10000) {
        atom = static_cast<ATOM>(value);
        return true;
    }
    if (name[0] != '#')
        return false;
    char* end = nullptr;
    const unsigned long n = strtoul(name + 1, &end, 10);
    if (end == name + 1 || *end || n >= kFirstStringAtom)
        return false;
    atom = static_cast<ATOM>(n);
    return true;
}

Entry* Find(ATOM atom)
{
    if (atom < kFirstStringAtom || static_cast<size_t>(atom - kFirstStringAtom) >= g_atoms->size())
        return nullptr;
    Entry& e = (*g_atoms)[atom - kFirstStringAtom];
    return e.refs ? &e : nullptr;
}

ATOM Lookup(const std::string& folded)
{
    for (size_t i = 0; i < g_atoms->size(); ++i)
        if ((*g_atoms)[i].refs && (*g_atoms)[i].folded == folded)
            return static_cast<ATOM>(kFirstStringAtom + i);
    return 0;
}

} // namespace

ATOM GlobalAddAtomA(LPCSTR name)
{
    ATOM atom = 0;
    if (!name)
        return 0;
    if (IntegerAtom(name, atom)) {
        if (atom == 0 || atom >= kFirstStringAtom) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        return atom;
    }
    const size_t length = strlen(name);
    if (length == 0 || length > kMaxAtomName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string folded = tavrin::win::FoldName(name);
    std::lock_guard<std::mutex> guard(g_lock);
    if (ATOM existing = Lookup(folded)) {
        ++(*g_atoms)[existing - kFirstStringAtom].refs;
        return existing;
    }
    size_t slot = 0;
    while (slot < g_atoms->size() && (*g_atoms)[slot].refs)
        ++slot;
    if (slot >= 0x10000u - kFirstStringAtom) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (slot == g_atoms->size())
        g_atoms->emplace_back();
    (*g_atoms)[slot] = Entry{name, folded, 1};
    return static_cast<ATOM>(kFirstStringAtom + slot);
}

ATOM GlobalFindAtomA(LPCSTR name)
{
    ATOM atom = 0;
    if (!name)
        return 0;
    if (IntegerAtom(name, atom))
        return atom < kFirstStringAtom ? atom : 0;
    std::lock_guard<std::mutex> guard(g_lock);
    atom = Lookup(tavrin::win::FoldName(name));
    if (!atom)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return atom;
}

UINT GlobalGetAtomNameA(ATOM atom, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name;
    if (atom > 0 && atom < kFirstStringAtom) {
        name = "#" + std::to_string(atom);
    } else {
        std::lock_guard<std::mutex> guard(g_lock);
        const Entry* e = Find(atom);
        if (!e) {
            SetLastError(ERROR_INVALID_HANDLE);
            buffer[0] = 0;
            return 0;
        }
        name = e->name;
    }
    const size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    memcpy(buffer, name.data(), n);
    buffer[n] = 0;
    return static_cast<UINT>(n);
}

ATOM GlobalDeleteAtom(ATOM atom)
{
    if (atom > 0 && atom < kFirstStringAtom)
        return 0;
    std::lock_guard<std::mutex> guard(g_lock);
    Entry* e = Find(atom);
    if (!e) {
        SetLastError(ERROR_INVALID_HANDLE);
        return atom;
    }
    if (--e->refs == 0)
        *e = Entry{};
    return 0;
}
