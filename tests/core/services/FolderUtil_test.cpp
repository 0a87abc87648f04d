#include "core/services/FolderUtil.h"

#include "platform/base/FileApi.h"
#include "platform/base/Path.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class FolderUtil : public ::testing::Test {
protected:
    // The program's form of a path below the temporary folder.
    CString At(const std::string& gbkRelative = "") const
    {
        CString base = tavrin::ProgramPath(m_dir.Path().string());
        return gbkRelative.empty() ? base : base + "\\" + CString(gbkRelative.c_str());
    }
    fs::path Native(const std::string& relative) const { return m_dir.Path() / relative; }
    void Write(const std::string& relative, const std::string& bytes = "data") const { m_dir.Write(relative, bytes); }
    std::string Read(const std::string& relative) const { return tavrin::test::TempDir::Read(Native(relative)); }
    void MakeReadOnly(const std::string& relative) const
    {
        fs::permissions(Native(relative), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
    bool IsReadOnly(const std::string& relative) const
    {
        return (fs::status(Native(relative)).permissions() & fs::perms::owner_write) == fs::perms::none;
    }

    tavrin::test::TempDir m_dir;
    tavrin::test::TempDir m_outside;
};

std::vector<std::string> Names(const CStringArray& array)
{
    std::vector<std::string> names;
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        names.push_back(array[i].Str());
    return names;
}

} // namespace

TEST_F(FolderUtil, GetAppDirIsTheProgramFolder)
{
    tavrin::SetProgramFolder(CString("\\opt\\tavrin"));
    EXPECT_EQ(GetAppDir().Str(), "\\opt\\tavrin");
    tavrin::SetProgramFolder(CString());
    EXPECT_FALSE(GetAppDir().IsEmpty());
}

TEST_F(FolderUtil, CreateDirectoryPathCreatesEveryMissingLevel)
{
    EXPECT_TRUE(CreateDirectoryPath(At("a\\b\\c\\")));
    EXPECT_TRUE(fs::is_directory(Native("a/b/c")));
    EXPECT_TRUE(CreateDirectoryPath(At("a\\b\\c")));
    EXPECT_TRUE(CreateDirectoryPath(At("a\\b\\c\\")));

    // GBK names; the last ends in a trail byte 0x5C, which is not a separator.
    EXPECT_TRUE(CreateDirectoryPath(At("班级\\x\x81\x5C")));
    EXPECT_TRUE(fs::is_directory(Native("\xE7\x8F\xAD\xE7\xBA\xA7/x\xE4\xB9\x97")));  // 班级/x乗
}

TEST_F(FolderUtil, CreateDirectoryPathFailsOnAFileInTheWay)
{
    Write("file");
    EXPECT_FALSE(CreateDirectoryPath(At("file")));
    EXPECT_FALSE(CreateDirectoryPath(At("file\\sub\\deeper")));
    EXPECT_FALSE(fs::exists(Native("file/sub")));
}

TEST_F(FolderUtil, ListSubFoldersAppendsDirectoriesOnly)
{
    fs::create_directories(Native("b"));
    fs::create_directories(Native("a"));
    Write("f.txt");
    CStringArray out;
    out.Add(CString("kept"));
    EXPECT_TRUE(ListSubFolders(At("*.*"), out));
    EXPECT_EQ(Names(out), (std::vector<std::string>{"kept", "a", "b"}));
    EXPECT_TRUE(ListSubFolders(At("missing\\*.*"), out));
    EXPECT_EQ(out.GetSize(), 3);
}

TEST_F(FolderUtil, ClearReadOnly)
{
    Write("locked");
    MakeReadOnly("locked");
    EXPECT_TRUE(GetFileAttributesA(At("locked")) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(ClearReadOnly(At("locked")));
    EXPECT_FALSE(GetFileAttributesA(At("locked")) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(ClearReadOnly(At("missing")));
}

TEST_F(FolderUtil, DeleteFolderTreeRemovesReadOnlyEntries)
{
    Write("tree/one.txt");
    Write("tree/sub/two.txt");
    Write("tree/\xE7\x85\xA7\xE7\x89\x87/s_1.jpg");  // 照片
    Write("tree/locked/inner.txt");
    MakeReadOnly("tree/one.txt");
    MakeReadOnly("tree/locked/inner.txt");
    MakeReadOnly("tree/locked");
    MakeReadOnly("tree");
    EXPECT_TRUE(DeleteFolderTree(At("tree")));
    EXPECT_FALSE(fs::exists(Native("tree")));
    EXPECT_FALSE(DeleteFolderTree(At("tree")));
}

TEST_F(FolderUtil, DeleteFolderTreeNeverFollowsSymbolicLinks)
{
    m_outside.Write("keep/precious.txt", "precious");
    m_outside.Write("alone.txt", "alone");
    fs::permissions(m_outside.Path() / "alone.txt", fs::perms::owner_write, fs::perm_options::remove);
    Write("tree/file.txt");
    fs::create_directory_symlink(m_outside.Path() / "keep", Native("tree/linked-folder"));
    fs::create_symlink(m_outside.Path() / "alone.txt", Native("tree/linked-file"));
    fs::create_symlink(m_outside.Path() / "nowhere", Native("tree/dangling"));
    fs::create_directory_symlink(Native("tree"), Native("tree/loop"));

    EXPECT_TRUE(DeleteFolderTree(At("tree")));
    EXPECT_FALSE(fs::exists(Native("tree")));
    EXPECT_EQ(tavrin::test::TempDir::Read(m_outside.Path() / "keep/precious.txt"), "precious");
    EXPECT_EQ(tavrin::test::TempDir::Read(m_outside.Path() / "alone.txt"), "alone");
    // The attribute was not cleared through the link either.
    EXPECT_EQ(fs::status(m_outside.Path() / "alone.txt").permissions() & fs::perms::owner_write, fs::perms::none);

    // A folder that is itself a link: the link goes, not what it points to.
    fs::create_directory_symlink(m_outside.Path() / "keep", Native("account"));
    EXPECT_TRUE(DeleteFolderTree(At("account")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(Native("account"))));
    EXPECT_TRUE(fs::exists(m_outside.Path() / "keep/precious.txt"));
}

TEST_F(FolderUtil, CopyFolderFilesCopiesMatchingFilesOnly)
{
    Write("src/a.txt", "a");
    Write("src/b.htm", "b");
    Write("src/sub/c.txt", "c");
    Write("dest/new/a.txt", "old");
    MakeReadOnly("dest/new/a.txt");

    EXPECT_TRUE(CopyFolderFiles(At("src\\*.*"), At("dest\\new")));
    EXPECT_EQ(Read("dest/new/a.txt"), "a");
    EXPECT_EQ(Read("dest/new/b.htm"), "b");
    EXPECT_FALSE(fs::exists(Native("dest/new/sub")));

    EXPECT_TRUE(CopyFolderFiles(At("src\\*.txt"), At("other\\deep\\")));
    EXPECT_TRUE(fs::exists(Native("other/deep/a.txt")));
    EXPECT_FALSE(fs::exists(Native("other/deep/b.htm")));

    EXPECT_TRUE(CopyFolderFiles(At("src\\*.none"), At("empty")));
    Write("blocker");
    EXPECT_FALSE(CopyFolderFiles(At("src\\*.*"), At("blocker\\x")));
}

TEST_F(FolderUtil, CopyFolderTreeCopiesIntoNewAndExistingFolders)
{
    Write("src/a.txt", "a");
    Write("src/sub/deeper/c.txt", "c");
    Write("src/\xE7\x85\xA7\xE7\x89\x87/p.jpg", "p");  // 照片
    EXPECT_TRUE(CopyFolderTree(At("src"), At("copy")));
    EXPECT_EQ(Read("copy/a.txt"), "a");
    EXPECT_EQ(Read("copy/sub/deeper/c.txt"), "c");
    EXPECT_EQ(Read("copy/\xE7\x85\xA7\xE7\x89\x87/p.jpg"), "p");

    // Again onto the existing copy, over a read-only file.
    Write("src/a.txt", "a2");
    MakeReadOnly("copy/a.txt");
    EXPECT_TRUE(CopyFolderTree(At("src"), At("copy")));
    EXPECT_EQ(Read("copy/a.txt"), "a2");

    EXPECT_FALSE(CopyFolderTree(At("missing"), At("copy2")));
}

TEST_F(FolderUtil, CopyFolderTreeDoesNotFollowFolderLinks)
{
    Write("src/a.txt", "a");
    fs::create_directory_symlink(Native("src"), Native("src/loop"));
    m_outside.Write("secret/s.txt", "s");
    fs::create_directory_symlink(m_outside.Path() / "secret", Native("src/out"));
    EXPECT_FALSE(CopyFolderTree(At("src"), At("copy")));
    EXPECT_EQ(Read("copy/a.txt"), "a");
    EXPECT_FALSE(fs::exists(Native("copy/loop")));
    EXPECT_FALSE(fs::exists(Native("copy/out")));
}
