// The drawing interface: device contexts, drawing objects, raster and text
// operations over 32-bit pixel surfaces, in the shape the program's code
// expects of its platform. Coordinates are logical (MM_TEXT: device pixels
// shifted by the window and viewport origins).
#pragma once

#include "platform/gdi/GdiTypes.h"

// Device contexts
HDC CreateCompatibleDC(HDC hdc);
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* initData);
BOOL DeleteDC(HDC hdc);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int savedDC);
int GetDeviceCaps(HDC hdc, int index);
BOOL GdiFlush();
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
int SetTextCharacterExtra(HDC hdc, int extra);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT point);
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT point);
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, LPPOINT old);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT point);
BOOL LPtoDP(HDC hdc, LPPOINT points, int count);
BOOL DPtoLP(HDC hdc, LPPOINT points, int count);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT point);

// Clipping
int SelectClipRgn(HDC hdc, HRGN region);
int ExtSelectClipRgn(HDC hdc, HRGN region, int mode);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int dx, int dy);
int GetClipBox(HDC hdc, LPRECT rect);
int GetClipRgn(HDC hdc, HRGN region);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* rect);

// Objects
BOOL DeleteObject(HGDIOBJ object);
int GetObjectA(HGDIOBJ object, int size, LPVOID out);
#define GetObject GetObjectA
DWORD GetObjectType(HGDIOBJ object);
HGDIOBJ GetStockObject(int index);
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* pen);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HBRUSH CreateDIBPatternBrushPt(const void* packedDib, UINT usage);
HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
COLORREF GetNearestColor(HDC hdc, COLORREF color);

// Regions
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
int GetRgnBox(HRGN region, LPRECT rect);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);
BOOL FillRgn(HDC hdc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC hdc, HRGN region, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC hdc, HRGN region);
BOOL InvertRgn(HDC hdc, HRGN region);

// Bitmaps and DIBs
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateBitmapIndirect(const BITMAP* bitmap);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
#define CBM_INIT 0x04
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, LPSIZE size);

// Pixels, lines and shapes
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL PolylineTo(HDC hdc, const POINT* points, DWORD count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
BOOL PolyPolygon(HDC hdc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rect);
BOOL DrawFocusRect(HDC hdc, const RECT* rect);
BOOL DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state);

// Blits and blends
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
BOOL AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent);
BOOL GradientFill(HDC hdc, TRIVERTEX* vertices, ULONG vertexCount, void* mesh, ULONG meshCount, ULONG mode);

// Fonts and text
HFONT CreateFontIndirectA(const LOGFONTA* font);
#define CreateFontIndirect CreateFontIndirectA
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCSTR face);
#define CreateFont CreateFontA
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length);
#define TextOut TextOutA
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx);
#define ExtTextOut ExtTextOutA
int DrawTextA(HDC hdc, LPCSTR text, int length, LPRECT rect, UINT format);
#define DrawText DrawTextA
BOOL DrawStateA(HDC hdc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx,
                int cy, UINT flags);
#define DrawState DrawStateA
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, LPSIZE size);
#define GetTextExtentPoint32 GetTextExtentPoint32A
#define GetTextExtentPointA GetTextExtentPoint32A
#define GetTextExtentPoint GetTextExtentPoint32A
BOOL GetTextExtentExPointA(HDC hdc, LPCSTR text, int length, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
#define GetTextExtentExPoint GetTextExtentExPointA
BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA metrics);
#define GetTextMetrics GetTextMetricsA
int GetTextFaceA(HDC hdc, int size, LPSTR face);
#define GetTextFace GetTextFaceA
BOOL GetCharWidth32A(HDC hdc, UINT first, UINT last, LPINT widths);
#define GetCharWidth32 GetCharWidth32A
#define GetCharWidthA GetCharWidth32A
#define GetCharWidth GetCharWidth32A
int GetTextCharsetInfo(HDC hdc, void* signature, DWORD flags);
int GetTextCharset(HDC hdc);
int EnumFontFamiliesExA(HDC hdc, LOGFONTA* font, FONTENUMPROCA proc, LPARAM data, DWORD flags);
#define EnumFontFamiliesEx EnumFontFamiliesExA
int AddFontResourceExA(LPCSTR name, DWORD flags, void* reserved);

// Icons
HICON CreateIconIndirect(PICONINFO info);
BOOL GetIconInfo(HICON icon, PICONINFO info);
BOOL DestroyIcon(HICON icon);
HICON CopyIcon(HICON icon);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);
BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree,
                UINT flags);


