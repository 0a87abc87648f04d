// Form bodies as a browser engine builds them, so that the headless engine
// posts the very bytes the real one does, and the real engine's multipart
// bodies get back the full local path of each picked file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrin::browser {

// One successful control. Text is UTF-8; the body is encoded in the form's
// charset. A file entry carries the file's name as the body shows it, its
// type and its bytes.
struct FormEntry {
    FormEntry() = default;
    FormEntry(std::string n, std::string v) : name(std::move(n)), value(std::move(v)) {}
    FormEntry(std::string n, std::string v, bool file, std::string fName = {}, std::string fType = {},
              std::string fData = {})
        : name(std::move(n)), value(std::move(v)), isFile(file), fileName(std::move(fName)),
          fileType(std::move(fType)), fileData(std::move(fData))
    {
    }

    std::string name;
    std::string value;
    bool isFile = false;
    std::string fileName;
    std::string fileType;
    std::string fileData;
};

struct FormBody {
    std::string contentType; // the Content-Type header value
    std::string data;
};

// "application/x-www-form-urlencoded", "multipart/form-data" or "text/plain";
// charset "GBK" or "UTF-8". The boundary is used for multipart bodies; an
// empty one makes a fresh one.
FormBody BuildFormBody(const std::vector<FormEntry>& entries, std::string_view enctype, std::string_view charset,
                       std::string boundary = {});

// The query of a GET form (the urlencoded body).
std::string BuildFormQuery(const std::vector<FormEntry>& entries, std::string_view charset);

// A fresh multipart boundary in the engine's own form.
std::string MakeBoundary();

// The type a file part gets from its name's extension.
std::string FileTypeForName(std::string_view name);

// The engine sends only the base name of a picked file. Each file part whose
// filename is the base name of one of the picked paths (program paths, GBK)
// gets that full path instead, in the form's charset ("GBK" or "UTF-8"), the
// one the part used. Other bytes stay.
std::string RestorePickedFileNames(std::string_view contentType, std::string_view body,
                                   const std::vector<std::string>& pickedPaths, std::string_view charset);

} // namespace tavrin::browser
