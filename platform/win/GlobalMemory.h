// Global memory blocks: what clipboard data and dialog templates travel in.
// A fixed block's handle is its address; a movable block's handle is an
// opaque value that GlobalLock turns into the address.
#pragma once

#include "platform/base/Types.h"

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE 0x2000
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
// Counts locks of movable blocks; a fixed block's lock is its address.
LPVOID GlobalLock(HGLOBAL memory);
// FALSE once the block is no longer locked.
BOOL GlobalUnlock(HGLOBAL memory);
SIZE_T GlobalSize(HGLOBAL memory);
// Null on success, the handle when it is not a block.
HGLOBAL GlobalFree(HGLOBAL memory);

namespace tavrin::win {
bool IsGlobalBlock(HGLOBAL memory);
} // namespace tavrin::win
