// Directory listings: FindFirstFileA/FindNextFileA (FileApi.h) and CFileFind.
// A listing is read whole when it starts, sorted by name in byte order, so
// load order is the same on every machine. Entries whose on-disk names cannot
// be written in GBK are left out: the program could not name them.
#pragma once

#include "platform/base/FileApi.h"
#include "platform/base/String.h"

#include <string_view>
#include <vector>

class CTime;

namespace tavrin {

struct FindEntry {
    CString name; // GBK
    DWORD attributes = 0;
    ULONGLONG size = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
};

// Lists the entries matching a pattern (folder + '\' + name with '*' and '?';
// without a folder the current one). Wildcards ignore ASCII case and step
// over double-byte characters; "*.*" matches every name. A name without
// wildcards names one entry exactly. False with GetLastError when the folder
// cannot be read or nothing matches (ERROR_FILE_NOT_FOUND).
bool FindEntries(const char* gbkPattern, std::vector<FindEntry>& entries);

// Wildcard match of one GBK name.
bool MatchesPattern(std::string_view pattern, std::string_view name);

} // namespace tavrin

class CFileFind {
public:
    CFileFind() = default;
    virtual ~CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Starts a search (null: "*.*" in the current folder). The first entry is
    // available after the first FindNextFile.
    virtual BOOL FindFile(LPCTSTR name = nullptr, DWORD unused = 0);
    // Moves to the next entry; FALSE when it is the last one (the entry is
    // still valid then), so the usual loop is
    //   BOOL more = f.FindFile(p); while (more) { more = f.FindNextFile(); ... }
    virtual BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const; // root + name
    CString GetRoot() const;     // the folder of the pattern, without separator
    ULONGLONG GetLength() const;
    BOOL GetLastWriteTime(FILETIME* time) const;
    BOOL GetLastWriteTime(CTime& time) const;
    BOOL GetCreationTime(FILETIME* time) const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD mask) const;

private:
    const tavrin::FindEntry* Current() const;

    std::vector<tavrin::FindEntry> m_entries;
    size_t m_next = 0;   // index of the entry FindNextFile moves to
    bool m_found = false; // an entry is current
    CString m_root;
};
