// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes bytes to a file below the folder, creating its parent folders.
    std::filesystem::path Write(const std::string& relative, const std::string& bytes) const;
    // Reads a whole file; empty when it cannot be read.
    static std::string Read(const std::filesystem::path& file);

private:
    std::filesystem::path m_path;
};

// A data file of tests/fixtures.
std::filesystem::path Fixture(const std::string& relative);

} // namespace tavrin::test
