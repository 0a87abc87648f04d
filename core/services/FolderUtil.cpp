#include "core/services/FolderUtil.h"

#include "platform/base/FileApi.h"
#include "platform/base/FileFind.h"
#include "platform/base/Path.h"

#include <sys/stat.h>

#include <vector>

namespace {

bool IsDots(const CString& name)
{
    return name == "." || name == "..";
}

bool IsDirectory(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The attribute calls follow symbolic links; the walks must not.
bool IsSymbolicLink(const CString& path)
{
    std::string native = tavrin::NativePath(path.View());
    struct stat st {};
    return !native.empty() && lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// A backslash that ends the text, not the trail byte of a GBK character.
bool EndsWithBackslash(const CString& path)
{
    return !path.IsEmpty() && path.ReverseFind('\\') == path.GetLength() - 1;
}

bool List(const CString& pattern, std::vector<tavrin::FindEntry>& entries)
{
    entries.clear();
    return tavrin::FindEntries(pattern, entries);
}

} // namespace

CString GetAppDir()
{
    return tavrin::GetProgramFolder();
}

BOOL ListSubFolders(const CString& pattern, CStringArray& out)
{
    std::vector<tavrin::FindEntry> entries;
    List(pattern, entries);
    for (const tavrin::FindEntry& entry : entries) {
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDots(entry.name))
            out.Add(entry.name);
    }
    return TRUE;
}

BOOL CreateDirectoryPath(const CString& path)
{
    CString folder(path);
    if (EndsWithBackslash(folder))
        folder = folder.Left(folder.GetLength() - 1);
    if (IsDirectory(folder))
        return TRUE;
    int separator = folder.ReverseFind('\\');
    if (separator >= 0 && !CreateDirectoryPath(folder.Left(separator)))
        return FALSE;
    return CreateDirectoryA(folder, nullptr) || IsDirectory(folder);
}

BOOL ClearReadOnly(const CString& path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    return SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
}

BOOL DeleteFolderTree(const CString& folder)
{
    if (IsSymbolicLink(folder))
        return DeleteFileA(folder);
    std::vector<tavrin::FindEntry> entries;
    if (!List(folder + "\\*.*", entries))
        return FALSE;
    // Entries of a folder can only be removed while the folder is writable.
    ClearReadOnly(folder);
    BOOL result = TRUE;
    for (const tavrin::FindEntry& entry : entries) {
        if (IsDots(entry.name))
            continue;
        CString path = folder + "\\" + entry.name;
        if (IsSymbolicLink(path)) {
            if (!DeleteFileA(path))
                result = FALSE;
            continue;
        }
        ClearReadOnly(path);
        BOOL deleted = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) ? DeleteFolderTree(path) : DeleteFileA(path);
        if (!deleted)
            result = FALSE;
    }
    ClearReadOnly(folder);
    if (!RemoveDirectoryA(folder))
        return FALSE;
    return result;
}

BOOL CopyFolderFiles(const CString& pattern, const CString& destination)
{
    if (!CreateDirectoryPath(destination))
        return FALSE;
    int separator = pattern.ReverseFind('\\');
    CString sourceFolder = separator >= 0 ? pattern.Left(separator + 1) : CString();
    CString target(destination);
    if (!EndsWithBackslash(target))
        target += "\\";

    BOOL result = TRUE;
    std::vector<tavrin::FindEntry> entries;
    List(pattern, entries);
    for (const tavrin::FindEntry& entry : entries) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        CString to = target + entry.name;
        if (!IsSymbolicLink(to))
            ClearReadOnly(to);
        if (!CopyFileA(sourceFolder + entry.name, to, FALSE))
            result = FALSE;
    }
    return result;
}

BOOL CopyFolderTree(const CString& source, const CString& destination)
{
    BOOL result = TRUE;
    if (!CreateDirectoryA(destination, nullptr) && !IsDirectory(destination))
        result = FALSE;
    std::vector<tavrin::FindEntry> entries;
    if (!List(source + "\\*.*", entries))
        return FALSE;
    for (const tavrin::FindEntry& entry : entries) {
        if (IsDots(entry.name))
            continue;
        CString from = source + "\\" + entry.name;
        CString to = destination + "\\" + entry.name;
        if (!IsSymbolicLink(to))
            ClearReadOnly(to);
        BOOL copied;
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            copied = CopyFileA(from, to, FALSE);
        else if (IsSymbolicLink(from))
            copied = FALSE;  // a link may lead out of the tree or back into it
        else
            copied = CopyFolderTree(from, to);
        if (!copied)
            result = FALSE;
    }
    return result;
}
