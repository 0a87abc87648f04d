// The XML code's way to the disk: whole-file reads and streamed atomic
// writes (a temporary file in the same folder, flushed and renamed over the
// old one), with the program's GBK paths.
#pragma once

#include "core/services/XmlText.h"

#include <cstddef>
#include <memory>
#include <string>

namespace tavrin {

// The file's bytes followed by a NUL; false when it cannot be read or is empty.
bool ReadXmlFileBytes(const char* gbkPath, std::unique_ptr<char[]>& data, size_t& size);

// Creates the folder part of a file name (before its last backslash) with
// every missing parent.
bool CreateXmlFileFolder(const char* gbkPath);

// Output into a temporary file beside the target; Commit renames it over the
// target. Without a successful Commit the target is left as it was.
class XmlAtomicFileOutput : public XmlOutput {
public:
    explicit XmlAtomicFileOutput(const char* gbkPath);
    ~XmlAtomicFileOutput() override;
    bool Commit();

protected:
    bool Sink(const char* data, size_t size) override;

private:
    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
};

} // namespace tavrin
