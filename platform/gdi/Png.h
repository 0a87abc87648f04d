// Png: saves a surface (or a bitmap) as an 8-bit RGB PNG file, written
// atomically (a temporary file in the same folder renamed over the target).
#pragma once

#include "platform/base/Types.h"

namespace tavrin {

class Surface;

// path is UTF-8. Returns false when the file cannot be written.
bool SavePng(const Surface& surface, const char* path);
bool SaveBitmapPng(HBITMAP bitmap, const char* path);

} // namespace tavrin
