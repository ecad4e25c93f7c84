// The exports of imgctl.dll, imported by ordinal (the names exist only in the import library).
// Handles come from ImgFromDC, ImgLoadFile* and ImgCrop and are released with ImgFree. Functions
// answer non-zero for success. Colours are red in bits 0..7, green 8..15, blue 16..23.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" {

typedef struct ImgctlImage* HIMGCTL;

// GIF option record (ImgSaveGif*): flags, transparent colour, three unused fields, colour table
// bits (8), one unused field.
struct ImgctlGifRecord {
  DWORD flags;
  DWORD transparentColour;
  DWORD reserved1;
  DWORD reserved2;
  DWORD reserved3;
  DWORD colourBits;
  DWORD reserved4;
};
// Read by the library as seven 32-bit words, whichever build passes it.
static_assert(sizeof(ImgctlGifRecord) == 28 && offsetof(ImgctlGifRecord, transparentColour) == 4 &&
              offsetof(ImgctlGifRecord, colourBits) == 20);
// Ordinal 6 fills a 40-byte header; ordinal 38 reads (DWORD, DWORD) colour pairs.
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(DWORD) == 4);
#define IMGCTL_GIF_TRANSPARENT 0x8u
#define IMGCTL_GIF_INTERLACE 0x80u
#define IMGCTL_GIF_REDUCE_COLOURS 0x80000u  // reduce an image above 8 bits instead of refusing it
#define IMGCTL_TO8_DITHER 0x001
#define IMGCTL_TO8_EXACT_FIRST 0x200
#define IMGCTL_TO16_DITHER 0x001

// Ordinal 36: a copy of (x, y, width, height) of the bitmap selected into `dc`.
HIMGCTL WINAPI ImgFromDC(HDC dc, int x, int y, int width, int height);
HIMGCTL WINAPI ImgLoadFileA(const char* path);     // 4: path in the ANSI code page
HIMGCTL WINAPI ImgLoadFileW(const wchar_t* path);  // 104
int WINAPI ImgFree(HIMGCTL image);                 // 5
int WINAPI ImgGetInfo(HIMGCTL image, BITMAPINFOHEADER* info);  // 6
HIMGCTL WINAPI ImgCrop(HIMGCTL image, int x, int y, int width, int height);  // 14
int WINAPI ImgTo24(HIMGCTL image);                 // 16
int WINAPI ImgTo16(HIMGCTL image, int mode);       // 17
int WINAPI ImgTo8(HIMGCTL image, int mode, int reserved);  // 18
int WINAPI ImgSaveBmpA(const char* path, HIMGCTL image);   // 22
int WINAPI ImgSaveBmpW(const wchar_t* path, HIMGCTL image);  // 122
int WINAPI ImgSaveJpegA(const char* path, HIMGCTL image, int quality, int progressive);  // 24
int WINAPI ImgSaveJpegW(const wchar_t* path, HIMGCTL image, int quality, int progressive);  // 124
// 125: ImgSaveJpegW with flags: IMGCTL_JPEG_PROGRESSIVE, and IMGCTL_JPEG_FIT_TABLES for Huffman
// tables fitted to the image (a few per cent smaller, a little slower; progressive always fits).
#define IMGCTL_JPEG_PROGRESSIVE 0x1
#define IMGCTL_JPEG_FIT_TABLES 0x2
int WINAPI ImgSaveJpegExW(const wchar_t* path, HIMGCTL image, int quality, int flags);  // 125
int WINAPI ImgSavePngA(const char* path, HIMGCTL image, int interlace);  // 26
int WINAPI ImgSavePngW(const wchar_t* path, HIMGCTL image, int interlace);  // 126
// 38: replaces the first colour of each pair by the second (see the GIF writer).
int WINAPI ImgReplaceColours(HIMGCTL image, const DWORD* pairs, int count);
int WINAPI ImgResize(HIMGCTL image, int width, int height);  // 47
int WINAPI ImgSaveGifA(const char* path, HIMGCTL image, const ImgctlGifRecord* record);  // 57
int WINAPI ImgSaveGifW(const wchar_t* path, HIMGCTL image, const ImgctlGifRecord* record);  // 157

}  // extern "C"

#if defined(__i386__) || defined(_M_IX86)
// On i686 each export is stdcall and its import-library name carries the bytes it pops (@N, from
// the argument counts in imgctl/CMakeLists.txt); a declaration that drifts from them skews the stack.
namespace imgctl_api_check {
template <class R, class... A>
constexpr size_t ArgBytes(R(WINAPI*)(A...)) {
  return (size_t{0} + ... + ((sizeof(A) + 3) & ~size_t{3}));
}
static_assert(ArgBytes(&ImgFromDC) == 20 && ArgBytes(&ImgLoadFileA) == 4 && ArgBytes(&ImgLoadFileW) == 4);
static_assert(ArgBytes(&ImgFree) == 4 && ArgBytes(&ImgGetInfo) == 8 && ArgBytes(&ImgCrop) == 20);
static_assert(ArgBytes(&ImgTo24) == 4 && ArgBytes(&ImgTo16) == 8 && ArgBytes(&ImgTo8) == 12);
static_assert(ArgBytes(&ImgSaveBmpA) == 8 && ArgBytes(&ImgSaveBmpW) == 8);
static_assert(ArgBytes(&ImgSaveJpegA) == 16 && ArgBytes(&ImgSaveJpegW) == 16 && ArgBytes(&ImgSaveJpegExW) == 16);
static_assert(ArgBytes(&ImgSavePngA) == 12 && ArgBytes(&ImgSavePngW) == 12);
static_assert(ArgBytes(&ImgReplaceColours) == 12 && ArgBytes(&ImgResize) == 12);
static_assert(ArgBytes(&ImgSaveGifA) == 12 && ArgBytes(&ImgSaveGifW) == 12);
}  // namespace imgctl_api_check
#endif
