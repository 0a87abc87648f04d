// The codecs the format dispatch knows, by image type. A codec plugs in by
// adding its two entry points to the table in ImageCodecs.cpp.
#pragma once

#include "platform/base/Types.h"

class CImageObj;
class CImageStream;

namespace tavrin {

struct ImageCodec {
    DWORD type;
    // Decodes into a fresh codec object and hands its buffers to target; on
    // failure only target's last error (and codec-specific counts) change.
    bool (*decode)(CImageObj& target, CImageStream& stream);
    // Encodes from a ghost of source; on failure source's last error is set.
    bool (*encode)(CImageObj& source, CImageStream& stream);
};

// The codec of a type, or none.
const ImageCodec* FindImageCodec(DWORD type);
// The order in which type 0 tries the codecs; ends with 0.
const DWORD* ImageCodecTrialOrder();

} // namespace tavrin
