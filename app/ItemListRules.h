// The item lists' rules that need no window: the columns of each page, the
// text and image of a row, the page captions and where the paging links of a
// page go.
#pragma once

#include "platform/base/String.h"

#include <vector>

class CClassStore;
class CSchoolClass;
class CStoreItem;

namespace tavrin::app {

// The pages of the item lists, by tab index.
enum ListPage { kMessagePage = 0, kPicturePage = 1, kContactPage = 2, kNotePage = 3, kListPageCount = 4 };

// The store a page lists; null without a class or for an unknown page.
CClassStore* PageStore(CSchoolClass* schoolClass, int page);

// Captions of the page's columns, column 0 (the image column) first.
std::vector<const char*> ColumnCaptions(int page);
// Widths of the page's columns for a list `width` pixels wide beside a
// vertical scroll bar `scrollWidth` wide. The control takes 16-bit widths:
// a narrow list's negative widths become 0.
std::vector<int> ColumnWidths(int page, int width, int scrollWidth);

// The text a cell shows; column 0 shows none.
CString CellText(int page, const CStoreItem& item, int column);
// The row's image in the lists' bitmap.
int RowImage(int page, const CStoreItem* item);

// What a page caption shows of its store.
struct CaptionState {
    int unread = 0;
    int count = 0;
    bool searchText = false;  // the store holds a search result
    bool searching = false;
    bool updating = false;
    CString privateName;      // the account's name for its notes
};
CaptionState ReadCaptionState(CSchoolClass* schoolClass, int page);
// A running or finished search wins over an update.
CString PageCaption(int page, const CaptionState& state);
// The caption of a page without a class.
CString IdleCaption(int page, const CString& privateName);

// A configuration number: an optional sign and the leading digits; 0 when
// the text does not start with a number.
int LeadingNumber(const CString& text);

// The first row of the page that the paging links move to from `row`
// (-1 when the current item is gone) among `count` rows, `pageSize`
// messages a page.
int PreviousMessageRow(int row, int count, int pageSize);
int NextMessageRow(int row, int count, int pageSize);
int PreviousPictureRow(int row, int count);
int NextPictureRow(int row, int count);

} // namespace tavrin::app
