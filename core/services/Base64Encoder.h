// Base64 of a byte string, used for proxy credentials.
#pragma once

#include "platform/base/String.h"

class CBase64Encoder {
public:
    virtual ~CBase64Encoder() = default;

    // out = the base64 of the bytes. With breakLines a CR LF follows every full
    // group of 3 bytes that brings the text to a multiple of 72 characters
    // (also at the very end); text for an HTTP header passes FALSE and gets a
    // single line. Always TRUE.
    virtual BOOL Encode(const BYTE* data, int length, CString& out, BOOL breakLines = TRUE);
};
