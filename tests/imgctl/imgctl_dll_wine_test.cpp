// imgctl.dll under Wine: every ordinal the program imports, wide and ANSI paths, the screen copy
// of a window with known pixels, and ImageCodec's mapping of the profile onto the writers.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/resource.h"
#include "imgctl.h"
#include "output/ImageCodec.h"
#include "output/Resize.h"
#include "settings/ProfileSectionSet.h"
#include "wine_test_support.h"

namespace pelmo {
namespace {

using test::ReadFileBytes;
using test::TempDir;

uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
         static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// Pixel (x, y) of a BMP file written by the library (bottom-up, 24 or 32 bits) as 0x00RRGGBB.
uint32_t BmpPixel(const std::string& b, int x, int y) {
  int w = static_cast<int>(Le32(b, 18)), h = static_cast<int>(Le32(b, 22));
  int bpp = static_cast<uint8_t>(b[28]);
  size_t stride = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  size_t at = Le32(b, 10) + static_cast<size_t>(h - 1 - y) * stride + static_cast<size_t>(x) * (bpp / 8);
  return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16;
}

uint32_t FourColours(int x, int y, int w, int h) {
  return (x < w / 2 ? 0x00ff0000u : 0x000000ffu) | (y < h / 2 ? 0 : 0x0000ff00u);
}

// A 32-bit image made through the library from a memory DC; by default four blocks of colour.
ImageHandle MakeImage(int w, int h, uint32_t (*pixel)(int x, int y, int w, int h) = FourColours) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC mem = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(mem, dib);
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = pixel(x, y, w, h);
  ImageHandle img = ImgFromDC(mem, 0, 0, w, h);
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(dib);
  return img;
}

TEST(ImgctlDll, EveryOrdinalIsExported) {
  HMODULE dll = GetModuleHandleW(L"imgctl.dll");
  ASSERT_NE(dll, nullptr);
  for (int ordinal : {4, 5, 6, 14, 16, 17, 18, 22, 24, 26, 36, 38, 47, 57, 104, 122, 124, 125, 126, 157})
    EXPECT_NE(GetProcAddress(dll, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
  EXPECT_EQ(GetProcAddress(dll, "ImgFree"), nullptr) << "exports have no names";
}

TEST(ImgctlDll, InfoCropDepthAndScaleThroughTheOrdinals) {
  ImageHandle img = MakeImage(40, 30);
  ASSERT_NE(img, nullptr);
  BITMAPINFOHEADER info{};
  ASSERT_TRUE(ImgGetInfo(img, &info));
  EXPECT_EQ(info.biSize, 40u);
  EXPECT_EQ(info.biWidth, 40);
  EXPECT_EQ(info.biHeight, 30);
  EXPECT_EQ(info.biBitCount, 32);

  ImageHandle part = ImgCrop(img, 10, 5, 20, 10);
  ASSERT_NE(part, nullptr);
  ImgTo8(part, 0x201, 0);
  ASSERT_TRUE(ImgGetInfo(part, &info));
  EXPECT_EQ(info.biBitCount, 8);
  EXPECT_EQ(info.biClrUsed, 2u);
  ImgTo16(img, 0);
  ASSERT_TRUE(ImgGetInfo(img, &info));
  EXPECT_EQ(info.biBitCount, 16);
  ImgTo24(img);
  EXPECT_TRUE(ImgResize(img, 0, 7));
  ASSERT_TRUE(ImgGetInfo(img, &info));
  EXPECT_EQ(info.biWidth, 1);
  EXPECT_EQ(info.biHeight, 7);
  EXPECT_FALSE(ImgResize(img, 2147483647, 2147483647));
  EXPECT_EQ(info.biBitCount, 24);
  EXPECT_TRUE(ImgFree(part));
  EXPECT_TRUE(ImgFree(img));
  EXPECT_FALSE(ImgFree(img));  // already freed: refused, no crash
  EXPECT_FALSE(ImgGetInfo(img, &info));
}

TEST(ImgctlDll, AnsiAndWidePaths) {
  TempDir dir;
  ImageHandle img = MakeImage(8, 6);
  // The ANSI entry points still work for names the code page can spell.
  std::wstring wpath = dir / L"ansi.bmp";
  std::string apath(wpath.begin(), wpath.end());  // the temp folder is ASCII
  ASSERT_TRUE(ImgSaveBmpA(apath.c_str(), img));
  ImageHandle back = ImgLoadFileA(apath.c_str());
  ASSERT_NE(back, nullptr);
  ImgFree(back);

  // Wide paths: characters outside any ANSI code page.
  std::wstring folder = dir / L"スクリーン 📷 Ωmega";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring file = folder + L"\\画像 ☃.png";
  ASSERT_TRUE(ImgSavePngW(file.c_str(), img, 1));
  back = ImgLoadFileW(file.c_str());
  ASSERT_NE(back, nullptr);
  BITMAPINFOHEADER info{};
  ASSERT_TRUE(ImgGetInfo(back, &info));
  EXPECT_EQ(info.biWidth, 8);
  ImgFree(back);
  ImgFree(img);
  EXPECT_EQ(ImgLoadFileW(nullptr), nullptr);
  EXPECT_EQ(ImgLoadFileW((dir / L"missing.png").c_str()), nullptr);
}

LRESULT CALLBACK QuadrantProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
    for (int i = 0; i < 4; ++i) {
      RECT q = {(i % 2) * rc.right / 2, (i / 2) * rc.bottom / 2, (i % 2 + 1) * rc.right / 2, (i / 2 + 1) * rc.bottom / 2};
      HBRUSH b = CreateSolidBrush(colours[i]);
      FillRect(dc, &q, b);
      DeleteObject(b);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(ImageCodecScreen, CopiesAWindowWithKnownPixels) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = QuadrantProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ImgctlQuadrants";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"quadrants", WS_POPUP | WS_VISIBLE, 100, 120,
                              200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hwnd, nullptr);
  UpdateWindow(hwnd);
  test::PumpFor(300);

  ImageCodec codec;
  HDC screen = GetDC(nullptr);
  RECT rect = {100, 120, 300, 220};
  ImageHandle img = codec.CreateImageFromScreen(screen, rect, false);
  ReleaseDC(nullptr, screen);
  DestroyWindow(hwnd);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
  ASSERT_NE(img, nullptr);
  int w = 0, h = 0;
  ASSERT_TRUE(codec.GetImageSize(img, w, h));
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 100);

  TempDir dir;
  ASSERT_TRUE(codec.SaveBmp(img, dir / L"shot.bmp", 32));
  codec.FreeImage(img);
  std::string bmp = ReadFileBytes(dir / L"shot.bmp");
  ASSERT_GT(bmp.size(), 54u + 200u * 100u * 4u - 1u);
  EXPECT_EQ(BmpPixel(bmp, 10, 10), 0xff0000u);    // red
  EXPECT_EQ(BmpPixel(bmp, 190, 10), 0x00ff00u);   // green
  EXPECT_EQ(BmpPixel(bmp, 10, 90), 0x0000ffu);    // blue
  EXPECT_EQ(BmpPixel(bmp, 190, 90), 0xffff00u);   // yellow
  // The screen's undefined alpha byte is written opaque.
  uint32_t off = Le32(bmp, 10);
  for (size_t i = off + 3; i < bmp.size(); i += 4) ASSERT_EQ(static_cast<uint8_t>(bmp[i]), 255) << i;
}

class SaveImageTest : public ::testing::Test {
 protected:
  void SetUp() override { img_ = MakeImage(64, 48); }
  void TearDown() override { codec_.FreeImage(img_); }
  std::string Save(const std::wstring& name, int* error = nullptr) {
    std::wstring path = dir_ / name;
    if (!codec_.SaveImage(img_, path, profile_, error)) return {};
    return ReadFileBytes(path);
  }
  ImageCodec codec_;
  ProfileSectionSet profile_;
  TempDir dir_;
  ImageHandle img_ = nullptr;
};

TEST_F(SaveImageTest, BmpAtEachDepth) {
  profile_.gen.SetImageType(CGenProfile::kBmp);
  struct Case {
    int32_t setting;
    int bits;
  } cases[] = {{32, 32}, {24, 24}, {16, 16}, {8, 8}, {12, 8}};  // 12: no change, stays at 8
  for (const Case& c : cases) {
    profile_.bmp.SetBmpColor(c.setting);
    std::string b = Save(L"a.bmp");
    ASSERT_FALSE(b.empty()) << c.setting;
    EXPECT_EQ(static_cast<uint8_t>(b[28]), c.bits) << c.setting;
    if (c.bits >= 24) {
      EXPECT_EQ(BmpPixel(b, 0, 0), 0xff0000u);    // red
      EXPECT_EQ(BmpPixel(b, 63, 47), 0x00ffffu);  // cyan
    }
  }
}

TEST_F(SaveImageTest, PngDepthAndInterlace) {
  profile_.gen.SetImageType(CGenProfile::kPng);
  profile_.png.SetPngColor(8);
  profile_.png.SetPngInterlace(1);
  std::string p = Save(L"a.png");
  ASSERT_GT(p.size(), 33u);
  EXPECT_EQ(p.substr(12, 4), "IHDR");
  EXPECT_EQ(p[25], 3) << "palette";
  EXPECT_EQ(p[28], 1) << "Adam7";
}

TEST_F(SaveImageTest, GifTransparencyAndColourPair) {
  profile_.gen.SetImageType(CGenProfile::kGif);
  profile_.gif.SetGifTransparency(1);
  profile_.gif.SetTransparencyColor({255, 0, 0});  // packed as 255: present in the image
  std::string g = Save(L"t.gif");
  ASSERT_GT(g.size(), 13u);
  EXPECT_EQ(g.substr(0, 6), "GIF89a");
  EXPECT_NE(g.find("\x21\xF9\x04\x01"), std::string::npos) << "transparent index written";

  profile_.gif.SetGifBackground(1);
  profile_.gif.SetBackgroundColor({0, 0, 0});
  profile_.gif.SetGifInterlace(1);
  g = Save(L"b.gif");
  ASSERT_GT(g.size(), 13u);
  EXPECT_EQ(g.find("\x21\xF9\x04\x01"), std::string::npos) << "no transparency with a background";
  // Red became black in the image itself: the colour table holds no red any more.
  size_t tableSize = size_t{3} << ((static_cast<uint8_t>(g[10]) & 7) + 1);
  std::string table = g.substr(13, tableSize);
  for (size_t i = 0; i + 3 <= table.size(); i += 3) EXPECT_NE(table.substr(i, 3), std::string("\xff\x00\x00", 3)) << i;
}

TEST_F(SaveImageTest, JpegAndUnknownTypes) {
  profile_.gen.SetImageType(CGenProfile::kJpg);
  profile_.jpg.SetJpgCompression(90);
  profile_.jpg.SetJpgProgression(1);
  std::string j = Save(L"a.jpg");
  ASSERT_GT(j.size(), 4u);
  EXPECT_EQ(j.substr(0, 2), "\xFF\xD8");
  EXPECT_NE(j.find("\xFF\xC2"), std::string::npos) << "progressive frame";

  int error = 0;
  profile_.gen.SetImageType(4);
  EXPECT_TRUE(Save(L"x.any", &error).empty());
  EXPECT_EQ(error, IDS_SAVE_FAILED);
  EXPECT_FALSE(test::FileExists(dir_ / L"x.any"));
}

// The conversion tool's codec fits the Huffman tables: the same coefficients in fewer bytes, so
// the file decodes to exactly the pixels of the standard-table file; progressive stays progressive.
TEST_F(SaveImageTest, FittedJpegTablesKeepThePixelsInFewerBytes) {
  ImageHandle textured = MakeImage(256, 192, [](int x, int y, int, int) {
    const uint32_t noise = (static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u) >> 27;
    return (static_cast<uint32_t>(x) << 16) | (static_cast<uint32_t>(y + noise) << 8) | ((x * y) & 0xffu);
  });
  ASSERT_NE(textured, nullptr);
  ImageCodec fitted(ImageCodec::JpegTables::kFitted);
  const std::wstring standardPath = dir_ / L"standard.jpg", fittedPath = dir_ / L"fitted.jpg";
  ASSERT_TRUE(codec_.SaveJpg(textured, standardPath, 75, 0));
  ASSERT_TRUE(fitted.SaveJpg(textured, fittedPath, 75, 0));
  const std::string standard = ReadFileBytes(standardPath), fit = ReadFileBytes(fittedPath);
  EXPECT_LT(fit.size(), standard.size());
  EXPECT_NE(fit.find("\xFF\xC0"), std::string::npos) << "still baseline";
  std::string pixels[2];
  const std::wstring* paths[2] = {&standardPath, &fittedPath};
  for (int i = 0; i < 2; ++i) {
    ImageHandle back = ImgLoadFileW(paths[i]->c_str());
    ASSERT_NE(back, nullptr);
    const std::wstring bmp = *paths[i] + L".bmp";
    ASSERT_TRUE(ImgSaveBmpW(bmp.c_str(), back));
    ImgFree(back);
    pixels[i] = ReadFileBytes(bmp);
  }
  EXPECT_EQ(pixels[0], pixels[1]);
  ASSERT_TRUE(fitted.SaveJpg(textured, fittedPath, 75, 1));
  EXPECT_NE(ReadFileBytes(fittedPath).find("\xFF\xC2"), std::string::npos) << "progressive frame";
  codec_.FreeImage(textured);
}

TEST_F(SaveImageTest, FailedSaveKeepsTheOldFileAndUnicodeFoldersWork) {
  std::wstring folder = dir_ / L"保存先 ✓";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  profile_.gen.SetImageType(CGenProfile::kPng);
  std::wstring path = folder + L"\\shot.png";
  ASSERT_TRUE(codec_.SaveImage(img_, path, profile_));
  std::string first = ReadFileBytes(path);
  ASSERT_FALSE(first.empty());

  int error = 0;
  EXPECT_FALSE(codec_.SaveImage(nullptr, path, profile_, &error));  // no image to write
  EXPECT_EQ(error, IDS_SAVE_FAILED);
  EXPECT_EQ(ReadFileBytes(path), first);
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder + L"\\*.tmp").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "no temporary file left";
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST_F(SaveImageTest, ResizeForSaveFollowsTheProfile) {
  CResizeProfile r;
  int w = 0, h = 0;
  r.SetPercentX(50);
  EXPECT_FALSE(ResizeForSave(codec_, r, img_)) << "resizing is off";
  ASSERT_TRUE(codec_.GetImageSize(img_, w, h));
  EXPECT_EQ(w, 64);
  r.SetResize(1);
  EXPECT_TRUE(ResizeForSave(codec_, r, img_));
  ASSERT_TRUE(codec_.GetImageSize(img_, w, h));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 48);
  r.SetPercentX(2147483647);  // cannot be allocated: the image stays as it was
  EXPECT_FALSE(ResizeForSave(codec_, r, img_));
  ASSERT_TRUE(codec_.GetImageSize(img_, w, h));
  EXPECT_EQ(w, 32);
  r.SetResizeType(CResizeProfile::kToPixels);
  EXPECT_TRUE(ResizeForSave(codec_, r, img_));
  ASSERT_TRUE(codec_.GetImageSize(img_, w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
}

TEST(ImageCodecCrop, ReplacesTheHandle) {
  ImageCodec codec;
  ImageHandle img = MakeImage(30, 20);
  ImageHandle old = img;
  RECT r = {5, 5, 15, 10};
  ImageHandle part = codec.CropImage(img, r);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(img, part);
  BITMAPINFOHEADER info{};
  EXPECT_FALSE(ImgGetInfo(old, &info)) << "the old image is freed";
  int w = 0, h = 0;
  ASSERT_TRUE(codec.GetImageSize(img, w, h));
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 5);
  codec.FreeImage(img);
}

}  // namespace
}  // namespace pelmo
