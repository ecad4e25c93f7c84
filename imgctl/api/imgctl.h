// The exports of imgctl.dll, imported by ordinal (the names exist only in the import library).
// Handles come from ImgFromDC, ImgLoadFile* and ImgCrop and are released with ImgFree. Functions
// answer non-zero for success. Colours are red in bits 0..7, green 8..15, blue 16..23.
#pragma once

#include <windows.h>

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
int WINAPI ImgSavePngA(const char* path, HIMGCTL image, int interlace);  // 26
int WINAPI ImgSavePngW(const wchar_t* path, HIMGCTL image, int interlace);  // 126
// 38: replaces the first colour of each pair by the second (see the GIF writer).
int WINAPI ImgReplaceColours(HIMGCTL image, const DWORD* pairs, int count);
int WINAPI ImgResize(HIMGCTL image, int width, int height);  // 47
int WINAPI ImgSaveGifA(const char* path, HIMGCTL image, const ImgctlGifRecord* record);  // 57
int WINAPI ImgSaveGifW(const wchar_t* path, HIMGCTL image, const ImgctlGifRecord* record);  // 157

}  // extern "C"
