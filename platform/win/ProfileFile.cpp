#include "platform/win/ProfileFile.h"

#include "platform/base/AtomicWrite.h"
#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/win/NameFold.h"
#include "platform/win/UserFolder.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

// Profile files are small; anything bigger is not one of ours.
constexpr size_t kMaxProfileFile = 16u << 20;

// One lock for every profile file: a read-modify-write must not interleave
// with another thread's.
std::mutex g_lock;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

struct Line {
    std::string text;
    // A header line's section name, or a key line's key; empty otherwise.
    bool header = false;
    std::string name;
};

struct Profile {
    std::string path; // native
    std::vector<Line> lines;
};

std::string NativeProfilePath(LPCSTR fileName)
{
    const std::string_view name(fileName);
    if (name.find('\\') == std::string_view::npos && name.find('/') == std::string_view::npos)
        return tavrin::win::GetUserConfigFolder() + "/" + tavrin::GbkToUtf8(name);
    return tavrin::NativePath(name);
}

Line ParseLine(std::string text)
{
    Line line;
    const std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '[') {
        const size_t close = t.find(']');
        line.header = true;
        line.name = std::string(Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
    } else if (const size_t eq = t.find('='); eq != std::string_view::npos) {
        line.name = std::string(Trim(t.substr(0, eq)));
    }
    line.text = std::move(text);
    return line;
}

// Reads the file; a missing file is an empty profile, an unreadable one fails.
bool Load(LPCSTR fileName, Profile& profile)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    profile.path = NativeProfilePath(fileName);
    std::ifstream in(profile.path, std::ios::binary);
    if (!in) {
        struct stat st{};
        if (stat(profile.path.c_str(), &st) == 0) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return true;
    }
    std::string bytes;
    char buffer[16384];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxProfileFile) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
    }
    if (in.bad()) {
        SetLastError(ERROR_READ_FAULT);
        return false;
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        profile.lines.push_back(ParseLine(std::move(text)));
        start = end + 1;
    }
    return true;
}

bool Save(const Profile& profile)
{
    std::string bytes;
    for (const Line& line : profile.lines) {
        bytes += line.text;
        bytes += "\r\n";
    }
    // A bare name's folder may not exist yet.
    const std::string folder = tavrin::win::GetUserConfigFolder() + "/";
    if (profile.path.compare(0, folder.size(), folder) == 0 && !tavrin::win::EnsureUserConfigFolder())
        return false;
    tavrin::AtomicFile file;
    if (!file.OpenNative(profile.path) || !file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
        file.Abort();
        return false;
    }
    return true;
}

// The lines [first, end) of each occurrence of the section, header included.
std::vector<std::pair<size_t, size_t>> SectionRanges(const Profile& p, std::string_view section)
{
    std::vector<std::pair<size_t, size_t>> ranges;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        if (!p.lines[i].header || !tavrin::win::SameName(p.lines[i].name, section))
            continue;
        size_t end = i + 1;
        while (end < p.lines.size() && !p.lines[end].header)
            ++end;
        ranges.emplace_back(i, end);
        i = end - 1;
    }
    return ranges;
}

std::optional<std::string> FindValue(const Profile& p, std::string_view section, std::string_view key)
{
    const auto ranges = SectionRanges(p, section);
    if (ranges.empty())
        return std::nullopt;
    const auto [first, end] = ranges.front();
    for (size_t i = first + 1; i < end; ++i) {
        const Line& line = p.lines[i];
        if (line.name.empty() || !tavrin::win::SameName(line.name, key))
            continue;
        std::string_view value = Trim(std::string_view(line.text).substr(line.text.find('=') + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return std::nullopt;
}

DWORD CopyText(std::string_view text, LPSTR out, DWORD size)
{
    if (size == 0)
        return 0;
    const size_t n = std::min<size_t>(text.size(), size - 1);
    memcpy(out, text.data(), n);
    out[n] = 0;
    return static_cast<DWORD>(n);
}

// Names each ended by a zero and the list by one more; cut to fit.
DWORD CopyList(const std::vector<std::string>& names, LPSTR out, DWORD size)
{
    if (size == 0)
        return 0;
    if (size == 1) {
        out[0] = 0;
        return 0;
    }
    size_t used = 0;
    for (const std::string& name : names) {
        if (used + name.size() + 1 > size - 1) {
            // Cut: as much as fits, then two zeros.
            const size_t room = size - 2 - used;
            memcpy(out + used, name.data(), room);
            out[size - 2] = 0;
            out[size - 1] = 0;
            return size - 2;
        }
        memcpy(out + used, name.c_str(), name.size() + 1);
        used += name.size() + 1;
    }
    out[used] = 0;
    return static_cast<DWORD>(used);
}

bool BreaksLine(LPCSTR text, const char* also)
{
    return text && strpbrk(text, also) != nullptr;
}

} // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName)
{
    if (!out)
        return 0;
    std::lock_guard<std::mutex> guard(g_lock);
    Profile p;
    const bool loaded = Load(fileName, p);
    if (!section) {
        std::vector<std::string> names;
        for (const Line& line : p.lines)
            if (line.header)
                names.push_back(line.name);
        return CopyList(names, out, size);
    }
    if (!key) {
        std::vector<std::string> names;
        const auto ranges = SectionRanges(p, section);
        if (!ranges.empty())
            for (size_t i = ranges.front().first + 1; i < ranges.front().second; ++i)
                if (!p.lines[i].name.empty())
                    names.push_back(p.lines[i].name);
        return CopyList(names, out, size);
    }
    if (loaded)
        if (auto value = FindValue(p, section, key))
            return CopyText(*value, out, size);
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);
    return CopyText(fallback, out, size);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName)
{
    if (!section || BreaksLine(section, "\r\n]") || BreaksLine(key, "\r\n=") || BreaksLine(value, "\r\n")) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> guard(g_lock);
    Profile p;
    if (!Load(fileName, p))
        return FALSE;
    auto ranges = SectionRanges(p, section);
    if (!key) {
        if (ranges.empty())
            return TRUE;
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it)
            p.lines.erase(p.lines.begin() + static_cast<long>(it->first), p.lines.begin() + static_cast<long>(it->second));
        return Save(p) ? TRUE : FALSE;
    }
    std::string text = std::string(key) + "=" + (value ? value : "");
    if (ranges.empty()) {
        if (!value)
            return TRUE;
        if (!p.lines.empty() && !Trim(p.lines.back().text).empty())
            p.lines.push_back(ParseLine(""));
        p.lines.push_back(ParseLine("[" + std::string(section) + "]"));
        p.lines.push_back(ParseLine(std::move(text)));
        return Save(p) ? TRUE : FALSE;
    }
    const auto [first, end] = ranges.front();
    for (size_t i = first + 1; i < end; ++i) {
        if (p.lines[i].name.empty() || !tavrin::win::SameName(p.lines[i].name, key))
            continue;
        if (value)
            p.lines[i] = ParseLine(std::move(text));
        else
            p.lines.erase(p.lines.begin() + static_cast<long>(i));
        return Save(p) ? TRUE : FALSE;
    }
    if (!value)
        return TRUE;
    // After the section's last non-blank line.
    size_t at = end;
    while (at > first + 1 && Trim(p.lines[at - 1].text).empty())
        --at;
    p.lines.insert(p.lines.begin() + static_cast<long>(at), ParseLine(std::move(text)));
    return Save(p) ? TRUE : FALSE;
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName)
{
    if (!section || !key)
        return static_cast<UINT>(defaultValue);
    std::optional<std::string> value;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        Profile p;
        if (Load(fileName, p))
            value = FindValue(p, section, key);
    }
    if (!value)
        return static_cast<UINT>(defaultValue);
    uint64_t n = 0;
    for (char c : *value) {
        if (c < '0' || c > '9')
            break;
        n = n * 10 + static_cast<uint64_t>(c - '0');
        if (n > 0xFFFFFFFFu)
            return 0xFFFFFFFFu;
    }
    return static_cast<UINT>(n);
}
