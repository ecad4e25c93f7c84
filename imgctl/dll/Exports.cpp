// The exported entry points: argument checks and path conversion around the portable library.
#include <windows.h>

#include <string>

#include "Library.h"
#include "ScreenCopy.h"
#include "api/imgctl.h"

namespace {

imgctl::Image* Img(HIMGCTL h) { return reinterpret_cast<imgctl::Image*>(h); }
HIMGCTL Handle(imgctl::Image* img) { return reinterpret_cast<HIMGCTL>(img); }

// Paths of the ANSI entry points are in the thread's ANSI code page.
std::wstring FromAnsi(const char* path) {
  if (path == nullptr || *path == 0) return {};
  int n = MultiByteToWideChar(CP_THREAD_ACP, 0, path, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, path, -1, w.data(), n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::wstring FromWide(const wchar_t* path) { return path ? std::wstring(path) : std::wstring(); }

template <class F>
int Guard(F f) {
  try {
    return f() ? 1 : 0;
  } catch (...) {
    return 0;  // nothing may unwind into the caller
  }
}

template <class F>
HIMGCTL GuardHandle(F f) {
  try {
    return Handle(f());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

extern "C" {

HIMGCTL WINAPI ImgFromDC(HDC dc, int x, int y, int width, int height) {
  return GuardHandle([&] { return imgctl::CopyFromDC(dc, x, y, width, height); });
}

HIMGCTL WINAPI ImgLoadFileA(const char* path) {
  return GuardHandle([&] { return imgctl::LoadFile(FromAnsi(path)); });
}

HIMGCTL WINAPI ImgLoadFileW(const wchar_t* path) {
  return GuardHandle([&] { return imgctl::LoadFile(FromWide(path)); });
}

int WINAPI ImgFree(HIMGCTL image) {
  bool live = imgctl::IsLive(Img(image));
  imgctl::Free(Img(image));
  return live ? 1 : 0;
}

int WINAPI ImgGetInfo(HIMGCTL image, BITMAPINFOHEADER* info) {
  static_assert(sizeof(BITMAPINFOHEADER) == sizeof(imgctl::InfoHeader));
  return Guard([&] {
    imgctl::InfoHeader h;
    if (info == nullptr || !imgctl::GetInfo(Img(image), &h)) return false;
    memcpy(info, &h, sizeof h);
    return true;
  });
}

HIMGCTL WINAPI ImgCrop(HIMGCTL image, int x, int y, int width, int height) {
  return GuardHandle([&] { return imgctl::CropHandle(Img(image), x, y, width, height); });
}

int WINAPI ImgTo24(HIMGCTL image) { return Guard([&] { return imgctl::To24(Img(image)); }); }

int WINAPI ImgTo16(HIMGCTL image, int mode) {
  return Guard([&] { return imgctl::To16(Img(image), mode); });
}

int WINAPI ImgTo8(HIMGCTL image, int mode, int) {
  return Guard([&] { return imgctl::To8(Img(image), mode); });
}

int WINAPI ImgSaveBmpA(const char* path, HIMGCTL image) {
  return Guard([&] { return imgctl::SaveBmp(FromAnsi(path), Img(image)); });
}
int WINAPI ImgSaveBmpW(const wchar_t* path, HIMGCTL image) {
  return Guard([&] { return imgctl::SaveBmp(FromWide(path), Img(image)); });
}

int WINAPI ImgSaveJpegA(const char* path, HIMGCTL image, int quality, int progressive) {
  return Guard([&] { return imgctl::SaveJpeg(FromAnsi(path), Img(image), quality, progressive != 0); });
}
int WINAPI ImgSaveJpegW(const wchar_t* path, HIMGCTL image, int quality, int progressive) {
  return Guard([&] { return imgctl::SaveJpeg(FromWide(path), Img(image), quality, progressive != 0); });
}
int WINAPI ImgSaveJpegExW(const wchar_t* path, HIMGCTL image, int quality, int flags) {
  return Guard([&] {
    return imgctl::SaveJpeg(FromWide(path), Img(image), quality, (flags & IMGCTL_JPEG_PROGRESSIVE) != 0,
                            (flags & IMGCTL_JPEG_FIT_TABLES) != 0);
  });
}

int WINAPI ImgSavePngA(const char* path, HIMGCTL image, int interlace) {
  return Guard([&] { return imgctl::SavePng(FromAnsi(path), Img(image), interlace != 0); });
}
int WINAPI ImgSavePngW(const wchar_t* path, HIMGCTL image, int interlace) {
  return Guard([&] { return imgctl::SavePng(FromWide(path), Img(image), interlace != 0); });
}

int WINAPI ImgReplaceColours(HIMGCTL image, const DWORD* pairs, int count) {
  return Guard([&] {
    if (!imgctl::IsLive(Img(image))) return false;
    static_assert(sizeof(DWORD) == sizeof(uint32_t));
    imgctl::ReplacePairs(Img(image), reinterpret_cast<const uint32_t*>(pairs), count);
    return true;
  });
}

int WINAPI ImgResize(HIMGCTL image, int width, int height) {
  return Guard([&] { return imgctl::Resize(Img(image), width, height); });
}

int WINAPI ImgSaveGifA(const char* path, HIMGCTL image, const ImgctlGifRecord* record) {
  static_assert(sizeof(ImgctlGifRecord) == sizeof(imgctl::GifRecord));
  return Guard([&] {
    return imgctl::SaveGif(FromAnsi(path), Img(image), reinterpret_cast<const imgctl::GifRecord*>(record));
  });
}
int WINAPI ImgSaveGifW(const wchar_t* path, HIMGCTL image, const ImgctlGifRecord* record) {
  return Guard([&] {
    return imgctl::SaveGif(FromWide(path), Img(image), reinterpret_cast<const imgctl::GifRecord*>(record));
  });
}

}  // extern "C"
