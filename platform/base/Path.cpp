#include "platform/base/Path.h"

#include "platform/base/CodePage.h"

#include <mutex>
#include <unistd.h>

namespace tavrin {

std::string NativePath(std::string_view gbkPath)
{
    std::string utf8 = GbkToUtf8(gbkPath);
    if (utf8.empty() != gbkPath.empty() || Utf8ToGbk(utf8) != gbkPath)
        return std::string();
    for (char& c : utf8) {
        if (c == '\\')
            c = '/';
    }
    return utf8;
}

CString ProgramPath(const std::string& native)
{
    std::string gbk = Utf8ToGbk(native);
    if (gbk.empty() != native.empty() || GbkToUtf8(gbk) != native)
        return CString();
    // '\' bytes inside double-byte characters stay; only separators change.
    const char* end = gbk.data() + gbk.size();
    for (char* p = gbk.data(); p < end; p += CharLength(p, end)) {
        if (*p == '/')
            *p = '\\';
    }
    return CString(std::move(gbk));
}

bool IsProgramName(const std::string& native)
{
    if (native.empty())
        return false;
    CString program = ProgramPath(native);
    return !program.IsEmpty() && NativePath(program.View()) == native;
}

namespace {

// Byte offset of the last '\' that is a character of its own, or npos.
size_t LastSeparator(std::string_view s)
{
    size_t last = std::string_view::npos;
    const char* begin = s.data();
    const char* end = begin + s.size();
    for (const char* p = begin; p < end; p += CharLength(p, end)) {
        if (*p == '\\')
            last = static_cast<size_t>(p - begin);
    }
    return last;
}

struct ProgramLocation {
    std::mutex lock;
    bool resolved = false;
    CString exeFolder;
    CString exeName;
    CString folder; // set by tests; empty for the executable's folder
};

ProgramLocation& Location()
{
    static ProgramLocation* location = new ProgramLocation; // outlives static destructors
    return *location;
}

std::string ExecutablePath()
{
    std::string buffer(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size())
        return std::string();
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

void Resolve(ProgramLocation& l)
{
    if (l.resolved)
        return;
    l.resolved = true;
    CString path = ProgramPath(ExecutablePath());
    std::string_view s = path.View();
    size_t slash = LastSeparator(s);
    if (slash == std::string_view::npos) {
        l.exeName = path;
        return;
    }
    l.exeFolder = CString(s.substr(0, slash));
    l.exeName = CString(s.substr(slash + 1));
}

} // namespace

CString GetProgramFolder()
{
    ProgramLocation& l = Location();
    std::lock_guard<std::mutex> guard(l.lock);
    if (!l.folder.IsEmpty())
        return l.folder;
    Resolve(l);
    return l.exeFolder;
}

void SetProgramFolder(const CString& gbkFolder)
{
    ProgramLocation& l = Location();
    std::lock_guard<std::mutex> guard(l.lock);
    std::string_view folder = gbkFolder.View();
    while (folder.size() > 1 && LastSeparator(folder) == folder.size() - 1)
        folder.remove_suffix(1);
    l.folder = CString(folder);
}

CString GetProgramFileName()
{
    ProgramLocation& l = Location();
    std::lock_guard<std::mutex> guard(l.lock);
    Resolve(l);
    return l.exeName;
}

} // namespace tavrin
