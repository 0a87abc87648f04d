// The photo upload form as the browser posts it: multipart parts beginning
// with the body's own boundary line, a description part, and the file part
// last, whose filename is the full local path of the picked file. The
// browser may hand over the file's bytes after the file part's header lines,
// or nothing; either way they are cut off and the file is read from disk.
#pragma once

#include "platform/base/Array.h"

#include <string>
#include <string_view>

namespace tavrin {

enum class UploadFormError {
    None,
    NoTitle, // no boundary line, or no description part before the file part
    NoFile,  // no file part, or its header lines do not end
};

struct UploadForm {
    std::string boundary; // the first line, without its CR LF
    std::string title;    // the description part's value
    std::string fileName; // the local path, as posted
    std::string head;     // the body through the blank line after the file part's headers
};

// Takes the posted body apart; descriptionName is the description part's
// field name (any ASCII letter case). The description ends at the body's
// own boundary line, however many dashes it has. The title is known when
// the result is NoFile.
UploadFormError ParseUploadForm(std::string_view body, std::string_view descriptionName, UploadForm& form);

// A built request body as the client takes it.
CByteArray UploadBytes(std::string_view body);

} // namespace tavrin
