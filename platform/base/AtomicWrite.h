// Atomic replacement of a file: the bytes go to a temporary file in the same
// folder, which is flushed to disk and renamed over the target only when all
// of it was written. Any failure removes the temporary file, keeps the old
// file as it was and reports false with GetLastError set.
#pragma once

#include "platform/base/Types.h"

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>

namespace tavrin {

class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile(); // abandons an uncommitted file
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts a replacement of the file at the program path. Fails when the
    // target is a folder or read-only, or the folder cannot take a new file.
    bool Open(const char* gbkPath);
    bool OpenNative(const std::string& nativePath);

    // Appends bytes; a failure is remembered and fails Commit.
    bool Write(const void* data, size_t size);
    // Permission bits the file gets on commit (default: those of the file it
    // replaces, or the usual ones for a new file).
    void SetMode(mode_t mode);

    // Flushes, closes and renames over the target. With noReplace the commit
    // fails (ERROR_FILE_EXISTS) when a file of that name exists by then.
    bool Commit(bool noReplace = false);
    // Removes the temporary file; the target stays as it was.
    void Abort();

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    const std::string& TargetPath() const { return m_target; }

private:
    DWORD NameUnnamed(bool noReplace);

    int m_fd = -1;
    bool m_failed = false;
    DWORD m_error = 0;
    bool m_hasMode = false;
    mode_t m_mode = 0;
    std::string m_target;
    std::string m_temp;
    // The data went to an unnamed file (O_TMPFILE), so a process killed while
    // writing leaves nothing behind; at commit it gets the target's one
    // pending name, which the next save replaces should a kill leave it.
    bool m_unnamed = false;
};

// Replaces the file with the bytes.
bool WriteFileAtomic(const char* gbkPath, const void* data, size_t size);
// Replaces the file with what the writer writes; the writer returns false to
// abandon the replacement (the old file stays; the result is false).
bool WriteFileAtomic(const char* gbkPath, const std::function<bool(AtomicFile&)>& writer);

} // namespace tavrin
