// The nine 16x16 item images (root, account, class, list kinds...) that the
// tree, the item lists and the status log each show from their own list.
#pragma once

class CImageList;

namespace tavrin::app {

// Creates the list (16x16, 24-bit with mask, room for 9, growing by 1) and
// fills it from the item bitmap with magenta transparent; false when the
// list or the bitmap could not be made.
bool MakeItemImageList(CImageList& list);

} // namespace tavrin::app
