#include "platform/base/FileFind.h"

#include "platform/base/FileInternal.h"
#include "platform/base/KernelObject.h"
#include "platform/base/Path.h"
#include "platform/base/Time.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {
namespace {

// Characters of a GBK text, ASCII letters folded to lower case.
std::vector<std::string_view> Characters(std::string_view s)
{
    std::vector<std::string_view> chars;
    const char* begin = s.data();
    const char* end = begin + s.size();
    for (const char* p = begin; p < end;) {
        int n = CharLength(p, end);
        chars.emplace_back(p, static_cast<size_t>(n));
        p += n;
    }
    return chars;
}

bool SameChar(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.size() == 1) {
        unsigned char x = static_cast<unsigned char>(a[0]);
        unsigned char y = static_cast<unsigned char>(b[0]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y + 32);
        return x == y;
    }
    return a == b;
}

// Byte offset after the last '\' that is a character of its own; 0 when none.
size_t NameStart(std::string_view s)
{
    size_t start = 0;
    const char* begin = s.data();
    const char* end = begin + s.size();
    for (const char* p = begin; p < end; p += CharLength(p, end)) {
        if (*p == '\\')
            start = static_cast<size_t>(p - begin) + 1;
    }
    return start;
}

bool HasWildcards(std::string_view name)
{
    for (const std::string_view& c : Characters(name)) {
        if (c == "*" || c == "?")
            return true;
    }
    return false;
}

FindEntry MakeEntry(CString name, const struct stat& st)
{
    FindEntry e;
    e.name = std::move(name);
    e.attributes = AttributesFromStat(st);
    e.size = S_ISDIR(st.st_mode) ? 0 : static_cast<ULONGLONG>(st.st_size);
    e.creationTime = FileTimeFromTimespec(st.st_ctim);
    e.lastAccessTime = FileTimeFromTimespec(st.st_atim);
    e.lastWriteTime = FileTimeFromTimespec(st.st_mtim);
    return e;
}

void FillFindData(const FindEntry& e, LPWIN32_FIND_DATAA data)
{
    memset(data, 0, sizeof *data);
    data->dwFileAttributes = e.attributes;
    data->ftCreationTime = e.creationTime;
    data->ftLastAccessTime = e.lastAccessTime;
    data->ftLastWriteTime = e.lastWriteTime;
    data->nFileSizeHigh = static_cast<DWORD>(e.size >> 32);
    data->nFileSizeLow = static_cast<DWORD>(e.size & 0xFFFFFFFFu);
    size_t n = std::min(static_cast<size_t>(e.name.GetLength()), sizeof data->cFileName - 1);
    memcpy(data->cFileName, e.name.GetString(), n);
}

class FindObject : public KernelObject {
public:
    std::vector<FindEntry> entries;
    size_t next = 0;
};

} // namespace

bool MatchesPattern(std::string_view pattern, std::string_view name)
{
    if (pattern == "*" || pattern == "*.*")
        return true;
    std::vector<std::string_view> p = Characters(pattern);
    std::vector<std::string_view> n = Characters(name);
    size_t pi = 0, ni = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && (p[pi] == "?" || SameChar(p[pi], n[ni]))) {
            ++pi;
            ++ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*")
        ++pi;
    return pi == p.size();
}

bool FindEntries(const char* gbkPattern, std::vector<FindEntry>& entries)
{
    entries.clear();
    if (!gbkPattern || !*gbkPattern)
        return FailWith(ERROR_PATH_NOT_FOUND);
    std::string_view pattern(gbkPattern);
    size_t nameStart = NameStart(pattern);
    std::string_view namePattern = pattern.substr(nameStart);
    std::string_view folder = pattern.substr(0, nameStart); // with its '\'
    if (namePattern.empty())
        return FailWith(ERROR_FILE_NOT_FOUND);
    std::string nativeFolder = ".";
    if (!folder.empty()) {
        nativeFolder = NativePath(folder);
        if (nativeFolder.empty())
            return FailWith(ERROR_INVALID_NAME);
    }

    if (!HasWildcards(namePattern)) {
        std::string nativeName = NativePath(namePattern);
        if (nativeName.empty())
            return FailWith(ERROR_INVALID_NAME);
        std::string full = folder.empty() ? nativeName : nativeFolder + (nativeFolder.back() == '/' ? "" : "/") + nativeName;
        struct stat st {};
        if (stat(full.c_str(), &st) != 0 && lstat(full.c_str(), &st) != 0)
            return FailWithErrno(errno);
        entries.push_back(MakeEntry(CString(namePattern), st));
        return true;
    }

    int dirFd = open(nativeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return FailWith(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    DIR* dir = fdopendir(dirFd);
    if (!dir) {
        int error = errno;
        close(dirFd);
        return FailWithErrno(error);
    }
    while (struct dirent* d = readdir(dir)) {
        std::string native = d->d_name;
        if (!IsProgramName(native))
            continue;
        CString name = ProgramPath(native);
        if (!MatchesPattern(namePattern, name.View()))
            continue;
        struct stat st {};
        if (fstatat(dirFd, d->d_name, &st, 0) != 0 && fstatat(dirFd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished while listing
        entries.push_back(MakeEntry(std::move(name), st));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FindEntry& a, const FindEntry& b) { return a.name.Str() < b.name.Str(); });
    if (entries.empty())
        return FailWith(ERROR_FILE_NOT_FOUND);
    return true;
}

} // namespace tavrin

using namespace tavrin;

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData)
{
    if (!findData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto find = std::make_shared<FindObject>();
    if (!FindEntries(fileName, find->entries))
        return INVALID_HANDLE_VALUE;
    FillFindData(find->entries[0], findData);
    find->next = 1;
    return RegisterHandle(find);
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData)
{
    std::shared_ptr<FindObject> find = LookupHandleAs<FindObject>(findFile);
    if (!find || !findData)
        return FailWith(find ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    if (find->next >= find->entries.size())
        return FailWith(ERROR_NO_MORE_FILES);
    FillFindData(find->entries[find->next++], findData);
    return TRUE;
}

BOOL FindClose(HANDLE findFile)
{
    if (!LookupHandleAs<FindObject>(findFile))
        return FailWith(ERROR_INVALID_HANDLE);
    return CloseHandle(findFile);
}

BOOL CFileFind::FindFile(LPCTSTR name, DWORD)
{
    Close();
    const char* pattern = name && *name ? name : "*.*";
    if (!FindEntries(pattern, m_entries))
        return FALSE;
    std::string_view p(pattern);
    size_t nameStart = NameStart(p);
    m_root = CString(p.substr(0, nameStart > 0 ? nameStart - 1 : 0));
    if (nameStart == 1)
        m_root = CString("\\"); // the root folder keeps its separator
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (m_next >= m_entries.size()) {
        m_found = false;
        return FailWith(ERROR_NO_MORE_FILES);
    }
    m_found = true;
    ++m_next;
    return m_next < m_entries.size() ? TRUE : FALSE;
}

void CFileFind::Close()
{
    m_entries.clear();
    m_next = 0;
    m_found = false;
    m_root = CString();
}

const FindEntry* CFileFind::Current() const
{
    return m_found ? &m_entries[m_next - 1] : nullptr;
}

CString CFileFind::GetFileName() const
{
    const FindEntry* e = Current();
    return e ? e->name : CString();
}

CString CFileFind::GetFilePath() const
{
    const FindEntry* e = Current();
    if (!e)
        return CString();
    if (m_root.IsEmpty())
        return e->name;
    std::string path = m_root.Str();
    if (NameStart(path) != path.size())
        path += '\\';
    path += e->name.Str();
    return CString(std::move(path));
}

CString CFileFind::GetRoot() const
{
    return m_root;
}

ULONGLONG CFileFind::GetLength() const
{
    const FindEntry* e = Current();
    return e ? e->size : 0;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* time) const
{
    const FindEntry* e = Current();
    if (!e || !time)
        return FALSE;
    *time = e->lastWriteTime;
    return TRUE;
}

BOOL CFileFind::GetLastWriteTime(CTime& time) const
{
    FILETIME ft;
    if (!GetLastWriteTime(&ft))
        return FALSE;
    const int64_t epochOffset = 116444736000000000LL; // 1601 to 1970 in 100-ns units
    int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    time = CTime(static_cast<__int64>((ticks - epochOffset) / 10000000LL));
    return TRUE;
}

BOOL CFileFind::GetCreationTime(FILETIME* time) const
{
    const FindEntry* e = Current();
    if (!e || !time)
        return FALSE;
    *time = e->creationTime;
    return TRUE;
}

BOOL CFileFind::IsDots() const
{
    const FindEntry* e = Current();
    return e && IsDirectory() && (e->name.Str() == "." || e->name.Str() == "..");
}

BOOL CFileFind::MatchesMask(DWORD mask) const
{
    const FindEntry* e = Current();
    return e && (e->attributes & mask) != 0;
}
