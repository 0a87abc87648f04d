// Small text services: the GIF signature test and URL encoding of form values.
#pragma once

#include "platform/base/String.h"

// TRUE when the data begins with "GIF87a" or "GIF89a"; FALSE for anything
// shorter than those six bytes.
BOOL IsGifSignature(const BYTE* data, int length);

// ASCII letters and digits kept, a space as "+", every other byte as "%XX"
// with upper-case hexadecimal digits (so a GBK character gives two groups).
CString UrlEncode(const CString& text);
