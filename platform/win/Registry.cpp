#include "platform/win/Registry.h"

#include "platform/base/AtomicWrite.h"
#include "platform/win/NameFold.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/UserFolder.h"
#include "platform/win/WinMessage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using tavrin::win::registry::Key;
using tavrin::win::registry::Value;

namespace {

constexpr ULONG_PTR kCurrentUser = 0x80000001u;
constexpr ULONG_PTR kFirstRoot = 0x80000000u;
constexpr ULONG_PTR kLastRoot = 0x80000005u;
constexpr DWORD kMaxValueSize = 16u << 20;

struct OpenKey {
    ULONG_PTR root;
    std::vector<std::string> path; // below the root
    REGSAM access;
};

struct Store {
    std::mutex lock;
    std::string folder; // the configuration folder the tree was read from
    bool loaded = false;
    bool readOnly = false;
    Key root;
    std::string saved; // the bytes last read or written, to undo a failed write
    // The file as last read or written: another copy's write shows as a change.
    struct stat seen{};
    bool seenFile = false;
    std::map<ULONG_PTR, OpenKey> open;
    ULONG_PTR nextHandle = 0x1000;
    // Changes kept in memory by an open batch, written when it closes.
    bool pending = false;
};

// Batches open on this thread: its changes wait for the last one to close.
thread_local int t_batchDepth = 0;

Store& TheStore()
{
    static auto* store = new Store;
    return *store;
}

bool ReadNative(const std::string& path, std::string& out, int& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = EISDIR;
        close(fd);
        return false;
    }
    out.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
        if (out.size() > tavrin::win::registry::kMaxFileSize)
            break; // too big to be ours: the parser refuses it
    }
    close(fd);
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

void Remember(Store& s)
{
    s.seenFile = stat((s.folder + "/registry").c_str(), &s.seen) == 0;
}

// Loads the tree on first use, again when the configuration folder moved and
// when another copy of the program wrote the file since.
void EnsureLoaded(Store& s)
{
    const std::string folder = tavrin::win::GetUserConfigFolder();
    // Unwritten changes of a batch are never dropped for a reload.
    if (s.loaded && s.pending && folder == s.folder)
        return;
    if (s.loaded && folder == s.folder) {
        struct stat now{};
        const bool exists = stat((folder + "/registry").c_str(), &now) == 0;
        if (exists == s.seenFile && (!exists || SameFile(now, s.seen)))
            return;
    }
    s.folder = folder;
    s.loaded = true;
    s.readOnly = false;
    s.root = Key{};
    s.saved.clear();
    Remember(s);
    const std::string file = folder + "/registry";
    std::string bytes;
    int error = 0;
    if (!ReadNative(file, bytes, error)) {
        if (error != ENOENT && error != ENOTDIR) {
            // It exists but cannot be read: never replace it.
            s.readOnly = true;
            fprintf(stderr, "registry: cannot read %s (%s); settings are read-only\n", file.c_str(), strerror(error));
        }
        return;
    }
    if (bytes.empty())
        return;
    if (!tavrin::win::registry::Parse(bytes, s.root)) {
        const std::string aside = folder + "/registry.damaged";
        fprintf(stderr, "registry: %s is damaged; starting empty, the old file is kept as %s\n", file.c_str(),
                aside.c_str());
        if (rename(file.c_str(), aside.c_str()) != 0)
            s.readOnly = true; // could not keep it aside: leave it alone
        return;
    }
    s.saved = std::move(bytes);
}

// Held by a change from reading the file to writing it, so that two copies
// of the program changing values at once do not lose each other's.
class WriterLock {
public:
    WriterLock()
    {
        // A batch takes the lock once, for its single write.
        if (t_batchDepth > 0)
            return;
        if (!tavrin::win::EnsureUserConfigFolder())
            return;
        m_fd = open((tavrin::win::GetUserConfigFolder() + "/registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                    0600);
        while (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~WriterLock()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

private:
    int m_fd = -1;
};

// Writes the tree; on failure puts back what was last saved.
LONG Commit(Store& s)
{
    if (t_batchDepth > 0) {
        s.pending = true;
        return ERROR_SUCCESS;
    }
    s.pending = false;
    std::string bytes = tavrin::win::registry::Serialize(s.root);
    LONG result = ERROR_SUCCESS;
    if (bytes.size() > tavrin::win::registry::kMaxFileSize) {
        result = ERROR_NOT_ENOUGH_QUOTA;
    } else if (!tavrin::win::EnsureUserConfigFolder()) {
        result = static_cast<LONG>(GetLastError());
    } else {
        tavrin::AtomicFile file;
        if (!file.OpenNative(s.folder + "/registry") || !file.Write(bytes.data(), bytes.size()) || !file.Commit())
            result = static_cast<LONG>(GetLastError() ? GetLastError() : ERROR_CANTWRITE);
        if (result != ERROR_SUCCESS)
            file.Abort();
    }
    if (result == ERROR_SUCCESS) {
        s.saved = std::move(bytes);
        Remember(s);
    } else {
        fprintf(stderr, "registry: cannot write %s/registry (error %d)\n", s.folder.c_str(), static_cast<int>(result));
        if (s.saved.empty() || !tavrin::win::registry::Parse(s.saved, s.root))
            s.root = Key{};
    }
    return result;
}

// Splits "a\b\c" into its names, stepping over double-byte characters.
bool SplitPath(LPCSTR subKey, std::vector<std::string>& parts)
{
    if (!subKey)
        return true;
    std::string current;
    for (const char* p = subKey; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x81 && c <= 0xFE && p[1]) {
            current += *p;
            current += *++p;
        } else if (c == '\\') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    for (const std::string& part : parts)
        if (part.size() > tavrin::win::registry::kMaxKeyName)
            return false;
    return true;
}

struct Target {
    Key* key = nullptr;
    ULONG_PTR root = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
};

// The key behind a handle; the error when there is none. With parts, the
// subkey path below it is split into them too.
LONG Resolve(Store& s, HKEY handle, Target& t, LPCSTR subKey = nullptr, std::vector<std::string>* parts = nullptr)
{
    if (parts && !SplitPath(subKey, *parts))
        return ERROR_INVALID_PARAMETER;
    const auto h = reinterpret_cast<ULONG_PTR>(handle);
    if (h >= kFirstRoot && h <= kLastRoot) {
        t.root = h;
        t.access = KEY_ALL_ACCESS;
    } else {
        auto it = s.open.find(h);
        if (it == s.open.end())
            return ERROR_INVALID_HANDLE;
        t.root = it->second.root;
        t.path = it->second.path;
        t.access = it->second.access;
    }
    if (t.root != kCurrentUser) {
        t.key = nullptr; // the other roots are empty
        return ERROR_SUCCESS;
    }
    EnsureLoaded(s);
    Key* key = &s.root;
    for (const std::string& name : t.path) {
        key = key->FindSubkey(name);
        if (!key)
            return ERROR_KEY_DELETED;
    }
    t.key = key;
    return ERROR_SUCCESS;
}

HKEY NewHandle(Store& s, ULONG_PTR root, std::vector<std::string> path, REGSAM access)
{
    const ULONG_PTR h = s.nextHandle;
    s.nextHandle += 4;
    s.open[h] = OpenKey{root, std::move(path), access};
    return reinterpret_cast<HKEY>(h);
}

// Copies bytes the documented way: size only, ERROR_MORE_DATA with the size
// needed, or the bytes.
LONG CopyOut(const std::string& data, LPBYTE out, LPDWORD size)
{
    if (out && !size)
        return ERROR_INVALID_PARAMETER;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD have = *size;
    *size = static_cast<DWORD>(data.size());
    if (!out)
        return ERROR_SUCCESS;
    if (have < data.size())
        return ERROR_MORE_DATA;
    if (!data.empty())
        memcpy(out, data.data(), data.size());
    return ERROR_SUCCESS;
}

// A name into a caller's buffer whose size (in characters, with the zero)
// is *chars; *chars gets the length without the zero.
LONG CopyName(const std::string& name, LPSTR out, LPDWORD chars)
{
    if (!out || !chars)
        return ERROR_INVALID_PARAMETER;
    if (*chars < name.size() + 1)
        return ERROR_MORE_DATA;
    memcpy(out, name.c_str(), name.size() + 1);
    *chars = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::string ValueName(LPCSTR name)
{
    return name ? std::string(name) : std::string();
}

} // namespace

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    WriterLock writer;
    Target t;
    std::vector<std::string> parts;
    if (LONG r = Resolve(s, key, t, subKey, &parts))
        return r;
    if (!t.key)
        return ERROR_ACCESS_DENIED;
    Key* k = t.key;
    bool created = false;
    for (const std::string& name : parts) {
        Key* next = k->FindSubkey(name);
        if (!next) {
            if (!(t.access & KEY_CREATE_SUB_KEY) || s.readOnly)
                return ERROR_ACCESS_DENIED;
            next = &k->AddSubkey(name);
            created = true;
        }
        k = next;
    }
    if (created)
        if (LONG r = Commit(s))
            return r;
    std::vector<std::string> path = t.path;
    path.insert(path.end(), parts.begin(), parts.end());
    *result = NewHandle(s, t.root, std::move(path), access);
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    Target t;
    std::vector<std::string> parts;
    if (LONG r = Resolve(s, key, t, subKey, &parts))
        return r;
    Key* k = t.key;
    for (const std::string& name : parts) {
        k = k ? k->FindSubkey(name) : nullptr;
        if (!k)
            return ERROR_FILE_NOT_FOUND;
    }
    std::vector<std::string> path = t.path;
    path.insert(path.end(), parts.begin(), parts.end());
    *result = NewHandle(s, t.root, std::move(path), access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    const auto h = reinterpret_cast<ULONG_PTR>(key);
    if (h >= kFirstRoot && h <= kLastRoot)
        return ERROR_SUCCESS;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.open.erase(h) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    if ((!data && size) || size > kMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    const std::string name = ValueName(valueName);
    if (name.size() > tavrin::win::registry::kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    WriterLock writer;
    Target t;
    if (LONG r = Resolve(s, key, t))
        return r;
    if (!t.key || !(t.access & KEY_SET_VALUE) || s.readOnly)
        return ERROR_ACCESS_DENIED;
    std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
    if (Value* v = t.key->FindValue(name)) {
        v->type = type;
        v->data = std::move(bytes);
    } else {
        t.key->values.push_back(Value{name, type, std::move(bytes)});
    }
    return Commit(s);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    Target t;
    if (LONG r = Resolve(s, key, t))
        return r;
    if (!(t.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    const Value* v = t.key ? t.key->FindValue(ValueName(valueName)) : nullptr;
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = v->type;
    return CopyOut(v->data, data, size);
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    WriterLock writer;
    Target t;
    if (LONG r = Resolve(s, key, t))
        return r;
    if (!(t.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!t.key || !t.key->FindValue(ValueName(valueName)))
        return ERROR_FILE_NOT_FOUND;
    if (s.readOnly)
        return ERROR_ACCESS_DENIED;
    t.key->RemoveValue(ValueName(valueName));
    return Commit(s);
}

namespace {

// Removes the subkey named by the path below the target; a key with subkeys
// only when the whole tree goes.
LONG DeleteKey(HKEY key, LPCSTR subKey, bool tree)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    WriterLock writer;
    Target t;
    std::vector<std::string> parts;
    if (LONG r = Resolve(s, key, t, subKey, &parts))
        return r;
    if (!t.key)
        return ERROR_FILE_NOT_FOUND;
    Key* parent = t.key;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        parent = parent->FindSubkey(parts[i]);
        if (!parent)
            return ERROR_FILE_NOT_FOUND;
    }
    if (parts.empty()) {
        if (!tree)
            return ERROR_INVALID_PARAMETER; // a key cannot delete itself
        if (s.readOnly)
            return ERROR_ACCESS_DENIED;
        // Empties the key itself.
        parent->values.clear();
        parent->subkeys.clear();
        return Commit(s);
    }
    Key* victim = parent->FindSubkey(parts.back());
    if (!victim)
        return ERROR_FILE_NOT_FOUND;
    if ((!tree && !victim->subkeys.empty()) || s.readOnly)
        return ERROR_ACCESS_DENIED;
    parent->subkeys.erase(tavrin::win::FoldName(parts.back()));
    return Commit(s);
}

} // namespace

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteKey(key, subKey, false);
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey)
{
    return DeleteKey(key, subKey, true);
}

DWORD SHDeleteKeyA(HKEY key, LPCSTR subKey)
{
    if (!subKey || !*subKey)
        return ERROR_INVALID_PARAMETER;
    return static_cast<DWORD>(DeleteKey(key, subKey, true));
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD, LPSTR keyClass, LPDWORD classChars,
                   LPFILETIME lastWrite)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    Target t;
    if (LONG r = Resolve(s, key, t))
        return r;
    if (!(t.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    if (!t.key || index >= t.key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    auto it = t.key->subkeys.begin();
    std::advance(it, index);
    if (LONG r = CopyName(it->second->name, name, nameChars))
        return r;
    if (keyClass && classChars && *classChars)
        keyClass[0] = 0;
    if (classChars)
        *classChars = 0;
    if (lastWrite)
        *lastWrite = FILETIME{};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD, LPDWORD type, LPBYTE data,
                   LPDWORD size)
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    Target t;
    if (LONG r = Resolve(s, key, t))
        return r;
    if (!(t.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    if (!t.key || index >= t.key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& v = t.key->values[index];
    if (LONG r = CopyName(v.name, name, nameChars))
        return r;
    if (type)
        *type = v.type;
    return CopyOut(v.data, data, size);
}

void tavrin::win::ReloadRegistry()
{
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    s.loaded = false;
    s.pending = false;
}

tavrin::win::RegistryBatch::RegistryBatch()
{
    ++t_batchDepth;
}

tavrin::win::RegistryBatch::~RegistryBatch()
{
    Close();
}

LONG tavrin::win::RegistryBatch::Close()
{
    if (m_closed)
        return m_result;
    m_closed = true;
    if (--t_batchDepth > 0)
        return m_result;
    Store& s = TheStore();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.pending)
        return m_result;
    WriterLock writer;
    m_result = Commit(s);
    return m_result;
}
