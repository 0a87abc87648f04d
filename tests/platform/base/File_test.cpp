// The file layer in temporary folders: path conversion, listings, attributes,
// copies, created files and atomic replacement.
#include "platform/base/AtomicWrite.h"
#include "platform/base/File.h"
#include "platform/base/FileApi.h"
#include "platform/base/FileFind.h"
#include "platform/base/Path.h"
#include "platform/base/Time.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using tavrin::test::TempDir;

namespace {

// u8 literals stay UTF-8; plain literals of this file are GBK in the binary.
std::string Utf8(const char8_t* text)
{
    return std::string(reinterpret_cast<const char*>(text));
}

// "班级" and "嘰" (GBK 87 5C: its trail byte is a backslash).
const char* const kClass = "班级";
const char* const kTrail5C = "嘰";

class FileTest : public ::testing::Test {
protected:
    // The program's form of a path below the temporary folder.
    std::string In(const std::string& gbkRelative) const
    {
        std::string base = tavrin::ProgramPath(m_dir.Path().string()).Str();
        return gbkRelative.empty() ? base : base + "\\" + gbkRelative;
    }
    std::vector<std::string> List(const std::string& pattern) const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA(pattern.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            names.push_back(data.cFileName);
        } while (FindNextFileA(h, &data));
        EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
        EXPECT_TRUE(FindClose(h));
        return names;
    }
    std::vector<std::string> TempFilesIn(const fs::path& folder) const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) {
            std::string name = e.path().filename().string();
            if (name.find(".tmp") != std::string::npos)
                names.push_back(name);
        }
        return names;
    }

    TempDir m_dir;
};

TEST(PathTest, ConvertsEncodingBeforeSeparators)
{
    struct Case {
        std::string gbk;
        std::string native;
    } cases[] = {
        {"\\home\\u\\accounts\\a@b", "/home/u/accounts/a@b"},
        {std::string("\\d\\") + kClass + "\\message.xml", Utf8(u8"/d/班级/message.xml")},
        // The 0x5C trail byte belongs to the character, not a separator.
        {std::string("\\d\\") + kTrail5C + "\\x", Utf8(u8"/d/嘰/x")},
        {std::string(kTrail5C) + kTrail5C, Utf8(u8"嘰嘰")},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.native, tavrin::NativePath(c.gbk)) << c.native;
        EXPECT_EQ(c.gbk, tavrin::ProgramPath(c.native).Str()) << c.native;
    }
    // Bytes that are not GBK, and names that GBK cannot write, convert to nothing.
    EXPECT_EQ("", tavrin::NativePath("\\d\\\x81"));
    EXPECT_TRUE(tavrin::ProgramPath(Utf8(u8"/d/\U0001F600")).IsEmpty());
    EXPECT_FALSE(tavrin::IsProgramName("a\\b"));
    EXPECT_TRUE(tavrin::IsProgramName(Utf8(u8"班级")));
}

TEST(PathTest, ProgramFolderAndModuleFileName)
{
    char buffer[MAX_PATH];
    tavrin::SetProgramFolder(CString(""));
    std::string exe = tavrin::ProgramPath(fs::read_symlink("/proc/self/exe").string()).Str();
    ASSERT_EQ(exe.size(), GetModuleFileNameA(nullptr, buffer, MAX_PATH));
    EXPECT_EQ(exe, buffer);
    EXPECT_EQ(exe.substr(0, exe.rfind('\\')), tavrin::GetProgramFolder().Str());

    std::string folder = std::string("\\opt\\") + kClass + kTrail5C;
    tavrin::SetProgramFolder(CString((folder + "\\").c_str()));
    EXPECT_EQ(folder, tavrin::GetProgramFolder().Str());
    std::string module = folder + "\\" + tavrin::GetProgramFileName().Str();
    ASSERT_EQ(module.size(), GetModuleFileNameA(nullptr, buffer, MAX_PATH));
    EXPECT_EQ(module, buffer);

    // Cut short: the size comes back with the text ended inside the buffer.
    EXPECT_EQ(5u, GetModuleFileNameA(nullptr, buffer, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(module.substr(0, 4), buffer);
    tavrin::SetProgramFolder(CString(""));
}

TEST(PathTest, TempPathEndsWithSeparatorAndExists)
{
    char buffer[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, buffer);
    ASSERT_GT(n, 1u);
    EXPECT_EQ('\\', buffer[n - 1]);
    EXPECT_TRUE(fs::is_directory(tavrin::NativePath(buffer)));
    EXPECT_EQ(n + 1, GetTempPathA(1, buffer)); // size needed, NUL included
}

TEST_F(FileTest, GbkNameReachesDiskAsUtf8AndListsBack)
{
    std::string folder = In(kClass);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\" + kTrail5C + ".xml";
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), "<x/>", 4));

    EXPECT_EQ("<x/>", TempDir::Read(m_dir.Path() / Utf8(u8"班级") / Utf8(u8"嘰.xml")));
    EXPECT_EQ((std::vector<std::string>{".", "..", std::string(kTrail5C) + ".xml"}), List(folder + "\\*.*"));

    CFileFind find;
    BOOL more = find.FindFile((folder + "\\*.xml").c_str());
    ASSERT_TRUE(more);
    more = find.FindNextFile();
    EXPECT_FALSE(more); // the last entry, still current
    EXPECT_EQ(std::string(kTrail5C) + ".xml", find.GetFileName().Str());
    EXPECT_EQ(file, find.GetFilePath().Str());
    EXPECT_EQ(folder, find.GetRoot().Str());
    EXPECT_EQ(4u, find.GetLength());
    CTime written;
    ASSERT_TRUE(find.GetLastWriteTime(written));
    struct stat st {};
    ASSERT_EQ(0, stat((m_dir.Path() / Utf8(u8"班级") / Utf8(u8"嘰.xml")).c_str(), &st));
    EXPECT_EQ(static_cast<__int64>(st.st_mtime), written.GetTime());
}

TEST_F(FileTest, ListingsAreSortedAndMatchWildcards)
{
    for (const char* name : {"b.xml", "a.txt", "C.XML", "noext", "ab.txt"})
        m_dir.Write(name, "x");
    fs::create_directory(m_dir.Path() / "sub");
    m_dir.Write("\xff\xfe", "not UTF-8");   // the program cannot name it
    m_dir.Write("back\\slash", "backslash"); // nor this one

    struct Case {
        std::string pattern;
        std::vector<std::string> names;
    } cases[] = {
        {"*.*", {".", "..", "C.XML", "a.txt", "ab.txt", "b.xml", "noext", "sub"}},
        {"*", {".", "..", "C.XML", "a.txt", "ab.txt", "b.xml", "noext", "sub"}},
        {"*.xml", {"C.XML", "b.xml"}},
        {"?.txt", {"a.txt"}},
        {"a*", {"a.txt", "ab.txt"}},
        {"*o*", {"noext"}},
        {"a.txt", {"a.txt"}},
        {"sub", {"sub"}},
        {"*.htm", {}},
        {"missing.txt", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.names, List(In(c.pattern))) << c.pattern;

    WIN32_FIND_DATAA data;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(In("*.htm").c_str(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(In("nowhere\\*.*").c_str(), &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    // The usual CFileFind loop sees every entry once, the last one included.
    std::vector<std::string> dirs, files;
    CFileFind find;
    BOOL more = find.FindFile(In("*.*").c_str());
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots())
            continue;
        (find.IsDirectory() ? dirs : files).push_back(find.GetFileName().Str());
    }
    EXPECT_EQ(std::vector<std::string>{"sub"}, dirs);
    EXPECT_EQ((std::vector<std::string>{"C.XML", "a.txt", "ab.txt", "b.xml", "noext"}), files);
}

TEST(FindPatternTest, StepsOverDoubleByteCharacters)
{
    struct Case {
        std::string pattern, name;
        bool match;
    } cases[] = {
        {"?.xml", std::string(kTrail5C) + ".xml", true}, // one character, two bytes
        {"??.xml", std::string(kTrail5C) + ".xml", false},
        {std::string(kClass) + "*", std::string(kClass) + "1", true},
        {"*\\", kTrail5C, false}, // a trail byte is not a backslash
        {"*.*", "noext", true},
        {"A*.TXT", "ab.txt", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.match, tavrin::MatchesPattern(c.pattern, c.name)) << c.pattern;
}

TEST_F(FileTest, ReadOnlyAttributeGuardsTheFile)
{
    std::string file = In("ro.txt");
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), "old", 3));
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributesA(file.c_str()));
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, GetFileAttributesA(file.c_str()));

    // Refused whoever runs the test, root included.
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(tavrin::WriteFileAtomic(file.c_str(), "new", 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(nullptr, tavrin::OpenFile(file.c_str(), "wb"));
    EXPECT_EQ("old", TempDir::Read(m_dir.Path() / "ro.txt"));

    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL, GetFileAttributesA(file.c_str()));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(In("").c_str()));
    EXPECT_FALSE(SetFileAttributesA(In("missing").c_str(), FILE_ATTRIBUTE_NORMAL));
}

TEST_F(FileTest, CopyHonoursOverwriteFlagAndAttributes)
{
    std::string src = In("src.txt"), dst = In("dst.txt");
    m_dir.Write("src.txt", "source");
    m_dir.Write("dst.txt", "target");

    EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_EQ("target", TempDir::Read(m_dir.Path() / "dst.txt"));

    EXPECT_TRUE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ("source", TempDir::Read(m_dir.Path() / "dst.txt"));

    std::string fresh = In(std::string(kClass) + ".txt");
    EXPECT_TRUE(CopyFileA(src.c_str(), fresh.c_str(), TRUE));
    EXPECT_EQ("source", TempDir::Read(m_dir.Path() / Utf8(u8"班级.txt")));

    // A read-only target is not overwritten; a read-only source gives a read-only copy.
    ASSERT_TRUE(SetFileAttributesA(dst.c_str(), FILE_ATTRIBUTE_READONLY));
    m_dir.Write("src.txt", "changed");
    EXPECT_FALSE(CopyFileA(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ("source", TempDir::Read(m_dir.Path() / "dst.txt"));
    std::string copy = In("copy.txt");
    EXPECT_TRUE(CopyFileA(dst.c_str(), copy.c_str(), FALSE));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY, GetFileAttributesA(copy.c_str()));

    EXPECT_FALSE(CopyFileA(In("missing").c_str(), In("x").c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(CopyFileA(In("").c_str(), In("x").c_str(), FALSE)); // a folder
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

TEST_F(FileTest, CreatedFileReplacesTheOldOneWhenClosed)
{
    std::string file = In("page.htm");
    m_dir.Write("page.htm", "old page");
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, "new page!", 9, &written, nullptr));
    EXPECT_EQ(9u, written);
    EXPECT_EQ(9u, GetFileSize(h, nullptr));
    EXPECT_EQ("old page", TempDir::Read(m_dir.Path() / "page.htm")); // not yet replaced
    ASSERT_TRUE(CloseHandle(h));
    EXPECT_EQ("new page!", TempDir::Read(m_dir.Path() / "page.htm"));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    // Whole-file reading in chunks.
    h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD high = 7;
    EXPECT_EQ(9u, GetFileSize(h, &high));
    EXPECT_EQ(0u, high);
    std::string text;
    char chunk[4];
    DWORD n = 0;
    while (ReadFile(h, chunk, sizeof chunk, &n, nullptr) && n > 0)
        text.append(chunk, n);
    EXPECT_EQ("new page!", text);
    EXPECT_TRUE(CloseHandle(h));

    struct Case {
        std::string path;
        DWORD disposition;
        DWORD error;
    } failures[] = {
        {In("missing"), OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {In("missing"), TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
        {In("page.htm"), CREATE_NEW, ERROR_FILE_EXISTS},
        {In("no\\such"), CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {In(""), OPEN_EXISTING, ERROR_ACCESS_DENIED}, // a folder
        {In(""), CREATE_ALWAYS, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : failures) {
        EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(c.path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                    c.disposition, FILE_ATTRIBUTE_NORMAL, nullptr))
            << c.path;
        EXPECT_EQ(c.error, GetLastError()) << c.path;
    }
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

TEST_F(FileTest, FoldersAreCreatedAndRemoved)
{
    std::string folder = In(kTrail5C);
    EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(CreateDirectoryA(In("a\\b").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    std::string inner = folder + "\\f.txt";
    ASSERT_TRUE(tavrin::WriteFileAtomic(inner.c_str(), "x", 1));
    EXPECT_FALSE(RemoveDirectoryA(folder.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_FALSE(DeleteFileA(folder.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(DeleteFileA(inner.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
    EXPECT_FALSE(fs::exists(m_dir.Path() / Utf8(u8"嘰")));
}

TEST_F(FileTest, FailedAtomicWriteKeepsTheOldFile)
{
    std::string file = In("message.xml");
    const std::string old = "<message>old</message>\n";
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), old.data(), old.size()));
    chmod((m_dir.Path() / "message.xml").c_str(), 0640);

    // The writer gives up half way.
    bool ok = tavrin::WriteFileAtomic(file.c_str(), [](tavrin::AtomicFile& f) {
        return f.Write("<message>new", 12) && false;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(old, TempDir::Read(m_dir.Path() / "message.xml"));
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());

    // A folder where the file should be, and a file where a folder should be.
    fs::create_directory(m_dir.Path() / "folder");
    EXPECT_FALSE(tavrin::WriteFileAtomic(In("folder").c_str(), "x", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(tavrin::WriteFileAtomic((file + "\\inner.xml").c_str(), "x", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(tavrin::WriteFileAtomic(In("missing\\a.xml").c_str(), "x", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(old, TempDir::Read(m_dir.Path() / "message.xml"));

    // A success replaces the content and keeps the old file's permissions.
    const std::string fresh = "<message>new</message>\n";
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), [&](tavrin::AtomicFile& f) {
        return f.Write(fresh.data(), 10) && f.Write(fresh.data() + 10, fresh.size() - 10);
    }));
    EXPECT_EQ(fresh, TempDir::Read(m_dir.Path() / "message.xml"));
    EXPECT_EQ(fs::perms(0640), fs::status(m_dir.Path() / "message.xml").permissions() & fs::perms::all);
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

// A save killed between naming its finished file and the rename leaves that
// file behind under the target's one pending name; the next save replaces it,
// so copies never pile up beside the target.
TEST_F(FileTest, CopyLeftByAKilledSaveGoesWithTheNextSave)
{
    std::string file = In("config.xml");
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), "old", 3));
    m_dir.Write(".config.xml.tmp", "a save that never got renamed");
    ASSERT_TRUE(tavrin::WriteFileAtomic(file.c_str(), "new", 3));
    EXPECT_EQ("new", TempDir::Read(m_dir.Path() / "config.xml"));
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

// Threads saving one target share its pending name one at a time: every save
// lands whole and nothing is left beside the target.
TEST_F(FileTest, ConcurrentSavesOfOneTarget)
{
    std::string file = In("config.xml");
    std::vector<std::string> contents;
    for (int t = 0; t < 4; ++t)
        contents.push_back(std::string(5000, static_cast<char>('a' + t)));
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                if (!tavrin::WriteFileAtomic(file.c_str(), contents[t].data(), contents[t].size()))
                    ++failures;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(0, failures.load());
    std::string last = TempDir::Read(m_dir.Path() / "config.xml");
    EXPECT_NE(std::find(contents.begin(), contents.end(), last), contents.end());
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

TEST_F(FileTest, FailedAtomicWriteIntoReadOnlyFolder)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    fs::create_directory(m_dir.Path() / "locked");
    m_dir.Write("locked/a.xml", "old");
    fs::permissions(m_dir.Path() / "locked", fs::perms(0555));
    EXPECT_FALSE(tavrin::WriteFileAtomic(In("locked\\a.xml").c_str(), "new", 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ("old", TempDir::Read(m_dir.Path() / "locked" / "a.xml"));
}

TEST_F(FileTest, StreamsOpenProgramPaths)
{
    std::string file = In(std::string(kClass) + ".gif");
    m_dir.Write(Utf8(u8"班级.gif"), "GIF89a old");
    FILE* out = tavrin::OpenFile(file.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(6u, fwrite("GIF89a", 1, 6, out));
    fflush(out);
    EXPECT_EQ("GIF89a old", TempDir::Read(m_dir.Path() / Utf8(u8"班级.gif")));
    EXPECT_EQ(0, fclose(out));
    EXPECT_EQ("GIF89a", TempDir::Read(m_dir.Path() / Utf8(u8"班级.gif")));

    FILE* in = tavrin::OpenFile(file.c_str(), "rb");
    ASSERT_NE(nullptr, in);
    char buffer[16] = {};
    EXPECT_EQ(6u, fread(buffer, 1, sizeof buffer, in));
    EXPECT_STREQ("GIF89a", buffer);
    fclose(in);

    EXPECT_EQ(nullptr, tavrin::OpenFile(In("missing").c_str(), "rb"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(nullptr, tavrin::OpenFile(In("no\\such").c_str(), "wb"));

    std::string whole;
    EXPECT_TRUE(tavrin::ReadWholeFile(file.c_str(), whole));
    EXPECT_EQ("GIF89a", whole);
    EXPECT_FALSE(tavrin::ReadWholeFile(In("missing").c_str(), whole));
    EXPECT_TRUE(TempFilesIn(m_dir.Path()).empty());
}

TEST_F(FileTest, CFileReadsWritesAndSeeks)
{
    std::string file = In("data.bin");
    {
        CFile f;
        ASSERT_TRUE(f.Open(file.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        EXPECT_TRUE(f.Write("0123456789", 10));
        EXPECT_EQ(file, f.GetFilePath().Str());
        EXPECT_EQ("data.bin", f.GetFileName().Str());
    } // closing commits
    EXPECT_EQ("0123456789", TempDir::Read(m_dir.Path() / "data.bin"));

    CFile f;
    ASSERT_TRUE(f.Open(file.c_str(), CFile::modeRead | CFile::shareDenyNone));
    EXPECT_EQ(10u, f.GetLength());
    EXPECT_EQ(7u, f.Seek(-3, CFile::end));
    char buffer[8] = {};
    EXPECT_EQ(3u, f.Read(buffer, 8));
    EXPECT_STREQ("789", buffer);
    f.SeekToBegin();
    EXPECT_EQ(2u, f.Read(buffer, 2));
    EXPECT_EQ(2u, f.GetPosition());
    EXPECT_TRUE(f.Close());

    CFileException error;
    EXPECT_FALSE(f.Open(In("missing").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
    EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), error.m_lOsError);
}

TEST_F(FileTest, CStdioFileReadsAndWritesLines)
{
    std::string file = In("lines.txt");
    {
        CStdioFile f;
        ASSERT_TRUE(f.Open(file.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        EXPECT_TRUE(f.WriteString("first\n"));
        EXPECT_TRUE(f.WriteString("second\r\n"));
        EXPECT_TRUE(f.WriteString("last"));
    }
    CStdioFile f;
    ASSERT_TRUE(f.Open(file.c_str(), CFile::modeRead | CFile::typeText));
    std::vector<std::string> lines;
    CString line;
    while (f.ReadString(line))
        lines.push_back(line.Str());
    EXPECT_EQ((std::vector<std::string>{"first", "second", "last"}), lines);
}

} // namespace
