// Common-control records and constants shared by every control: the
// registration call, class names, WM_NOTIFY codes and their ranges, and the
// custom-draw record (the DLGC_ answers come with the dialog manager). Each control's own messages live in its own header.
#pragma once

#include "platform/win/Dialog.h"
#include "platform/win/Notify.h"
#include "platform/win/Window.h"

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
typedef INITCOMMONCONTROLSEX* LPINITCOMMONCONTROLSEX;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_HOTKEY_CLASS 0x00000040
#define ICC_ANIMATE_CLASS 0x00000080
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_DATE_CLASSES 0x00000100
#define ICC_USEREX_CLASSES 0x00000200
#define ICC_COOL_CLASSES 0x00000400
#define ICC_INTERNET_CLASSES 0x00000800
#define ICC_PAGESCROLLER_CLASS 0x00001000
#define ICC_NATIVEFNTCTL_CLASS 0x00002000
#define ICC_STANDARD_CLASSES 0x00004000
#define ICC_LINK_CLASS 0x00008000

// Registers every control class of the process (the standard ones too).
void InitCommonControls();
// FALSE when the record's size is wrong.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

#define WC_BUTTONA "Button"
#define WC_STATICA "Static"
#define WC_EDITA "Edit"
#define WC_LISTBOXA "ListBox"
#define WC_COMBOBOXA "ComboBox"
#define WC_BUTTON WC_BUTTONA
#define WC_STATIC WC_STATICA
#define WC_EDIT WC_EDITA
#define WC_LISTBOX WC_LISTBOXA
#define WC_COMBOBOX WC_COMBOBOXA
#define UPDOWN_CLASSA "msctls_updown32"
#define UPDOWN_CLASS UPDOWN_CLASSA
#define PROGRESS_CLASSA "msctls_progress32"
#define PROGRESS_CLASS PROGRESS_CLASSA
#define TOOLTIPS_CLASSA "tooltips_class32"
#define TOOLTIPS_CLASS TOOLTIPS_CLASSA

// WM_NOTIFY codes every control may send.
#define NM_FIRST (0U - 0U)
#define NM_LAST (0U - 99U)
#define NM_OUTOFMEMORY (NM_FIRST - 1)
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#define NM_SETFOCUS (NM_FIRST - 7)
#define NM_KILLFOCUS (NM_FIRST - 8)
#define NM_CUSTOMDRAW (NM_FIRST - 12)
#define NM_HOVER (NM_FIRST - 13)
#define NM_NCHITTEST (NM_FIRST - 14)
#define NM_KEYDOWN (NM_FIRST - 15)
#define NM_RELEASEDCAPTURE (NM_FIRST - 16)
#define NM_SETCURSOR (NM_FIRST - 17)
#define NM_CHAR (NM_FIRST - 18)
#define NM_TOOLTIPSCREATED (NM_FIRST - 19)

// Each control's notification codes lie in a range of their own.
#define LVN_FIRST (0U - 100U)
#define LVN_LAST (0U - 199U)
#define HDN_FIRST (0U - 300U)
#define HDN_LAST (0U - 399U)
#define TVN_FIRST (0U - 400U)
#define TVN_LAST (0U - 499U)
#define TTN_FIRST (0U - 520U)
#define TTN_LAST (0U - 549U)
#define TCN_FIRST (0U - 550U)
#define TCN_LAST (0U - 580U)
#define CDN_FIRST (0U - 601U)
#define TBN_FIRST (0U - 700U)
#define UDN_FIRST (0U - 721U)
#define UDN_LAST (0U - 740U)
#define DTN_FIRST (0U - 740U)
#define DTN_LAST (0U - 745U)
#define MCN_FIRST (0U - 750U)
#define RBN_FIRST (0U - 831U)
#define SBN_FIRST (0U - 880U)

// Messages every common control answers.
#define CCM_FIRST 0x2000
#define CCM_SETBKCOLOR (CCM_FIRST + 1)
#define CCM_SETUNICODEFORMAT (CCM_FIRST + 5)
#define CCM_GETUNICODEFORMAT (CCM_FIRST + 6)
#define CCM_SETVERSION (CCM_FIRST + 0x7)
#define CCM_GETVERSION (CCM_FIRST + 0x8)

// Custom draw.
#define CDRF_DODEFAULT 0x00000000
#define CDRF_NEWFONT 0x00000002
#define CDRF_SKIPDEFAULT 0x00000004
#define CDRF_NOTIFYPOSTPAINT 0x00000010
#define CDRF_NOTIFYITEMDRAW 0x00000020
#define CDRF_NOTIFYSUBITEMDRAW 0x00000020
#define CDRF_NOTIFYPOSTERASE 0x00000040
#define CDDS_PREPAINT 0x00000001
#define CDDS_POSTPAINT 0x00000002
#define CDDS_PREERASE 0x00000003
#define CDDS_POSTERASE 0x00000004
#define CDDS_ITEM 0x00010000
#define CDDS_ITEMPREPAINT (CDDS_ITEM | CDDS_PREPAINT)
#define CDDS_ITEMPOSTPAINT (CDDS_ITEM | CDDS_POSTPAINT)
#define CDDS_SUBITEM 0x00020000
#define CDIS_SELECTED 0x0001
#define CDIS_GRAYED 0x0002
#define CDIS_DISABLED 0x0004
#define CDIS_CHECKED 0x0008
#define CDIS_FOCUS 0x0010
#define CDIS_DEFAULT 0x0020
#define CDIS_HOT 0x0040

struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage;
    HDC hdc;
    RECT rc;
    DWORD_PTR dwItemSpec;
    UINT uItemState;
    LPARAM lItemlParam;
};
typedef NMCUSTOMDRAW* LPNMCUSTOMDRAW;
