// ImageList: equally sized images with transparency masks, drawn normal,
// transparent or blended with the highlight colour, and handed out as icons.
#pragma once

#include "platform/gdi/Gdi.h"

#define ILC_MASK 0x0001
#define ILC_COLOR 0x0000
#define ILC_COLORDDB 0x00FE
#define ILC_COLOR4 0x0004
#define ILC_COLOR8 0x0008
#define ILC_COLOR16 0x0010
#define ILC_COLOR24 0x0018
#define ILC_COLOR32 0x0020

#define ILD_NORMAL 0x0000
#define ILD_TRANSPARENT 0x0001
#define ILD_BLEND25 0x0002
#define ILD_FOCUS 0x0002
#define ILD_BLEND50 0x0004
#define ILD_SELECTED 0x0004
#define ILD_BLEND 0x0004
#define ILD_MASK 0x0010
#define ILD_IMAGE 0x0020

struct IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
};

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
#define ImageList_AddIcon(list, icon) ImageList_ReplaceIcon(list, -1, icon)
BOOL ImageList_Remove(HIMAGELIST list, int index);
#define ImageList_RemoveAll(list) ImageList_Remove(list, -1)
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC hdc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC hdc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
