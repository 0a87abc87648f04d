// Plain types and records shared by every layer, sized as on the original
// 32-bit-LONG platform: LONG and DWORD are 32 bits, WPARAM and LPARAM are
// pointer-sized.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef wchar_t WCHAR;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int64_t __int64;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef ULONG_PTR DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef WORD ATOM;

typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;
typedef char TCHAR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#define NULL nullptr
#endif
#define CALLBACK
#define WINAPI
#define APIENTRY
#define _T(x) x
#define TEXT(x) x

// Opaque handles: distinct pointer types, as with strict handle checking.
#define TAVRIN_DECLARE_HANDLE(name) \
    struct name##__ { int unused; };   \
    typedef struct name##__* name
typedef void* HANDLE;
TAVRIN_DECLARE_HANDLE(HWND);
TAVRIN_DECLARE_HANDLE(HINSTANCE);
TAVRIN_DECLARE_HANDLE(HDC);
TAVRIN_DECLARE_HANDLE(HMENU);
TAVRIN_DECLARE_HANDLE(HICON);
TAVRIN_DECLARE_HANDLE(HBITMAP);
TAVRIN_DECLARE_HANDLE(HBRUSH);
TAVRIN_DECLARE_HANDLE(HPEN);
TAVRIN_DECLARE_HANDLE(HFONT);
TAVRIN_DECLARE_HANDLE(HRGN);
TAVRIN_DECLARE_HANDLE(HPALETTE);
TAVRIN_DECLARE_HANDLE(HACCEL);
TAVRIN_DECLARE_HANDLE(HHOOK);
TAVRIN_DECLARE_HANDLE(HKEY);
TAVRIN_DECLARE_HANDLE(HIMAGELIST);
TAVRIN_DECLARE_HANDLE(HTREEITEM);
TAVRIN_DECLARE_HANDLE(HMONITOR);
TAVRIN_DECLARE_HANDLE(HRSRC);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;
typedef void* HGLOBAL;
typedef void* HLOCAL;
typedef HANDLE HDWP;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define MAX_PATH 260
#define INFINITE 0xFFFFFFFFu

#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xff))
#define HIBYTE(w) (static_cast<BYTE>((static_cast<DWORD_PTR>(w) >> 8) & 0xff))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define MAKEWORD(a, b) (static_cast<WORD>((static_cast<BYTE>(a)) | (static_cast<WORD>(static_cast<BYTE>(b)) << 8)))
#define MAKELONG(a, b) (static_cast<LONG>(static_cast<DWORD>(static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b)) << 16)))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELRESULT(l, h) (static_cast<LRESULT>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

struct POINT {
    LONG x;
    LONG y;
};
typedef POINT* LPPOINT;
typedef const POINT* LPCPOINT;

struct POINTS {
    SHORT x;
    SHORT y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

#define RGB(r, g, b) \
    (static_cast<COLORREF>((static_cast<BYTE>(r)) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(static_cast<WORD>(rgb) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))
#define CLR_NONE 0xFFFFFFFFu
#define CLR_INVALID 0xFFFFFFFFu
#define CLR_DEFAULT 0xFF000000u

#pragma pack(push, 1)
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
typedef BITMAPINFOHEADER* LPBITMAPINFOHEADER;

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
typedef BITMAPINFO* LPBITMAPINFO;

#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3

static_assert(sizeof(LONG) == 4 && sizeof(DWORD) == 4, "LONG and DWORD are 32 bits");
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*), "pointer-sized message params");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER layout");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BITMAPFILEHEADER layout");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD layout");

// Error codes returned by GetLastError and the file layer.
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_HANDLE_EOF 38L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define WAIT_TIMEOUT 258L

DWORD GetLastError();
void SetLastError(DWORD error);
