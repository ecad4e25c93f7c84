#include "Library.h"

#include <mutex>
#include <new>
#include <unordered_set>

#include "BmpWriter.h"
#include "Decode.h"
#include "Depth.h"
#include "Edit.h"
#include "PngWriter.h"
#include "Scale.h"

#ifdef IMGCTL_HAVE_JPEG
#include "jpeg/JpegEncoder.h"
#endif

namespace imgctl {

namespace {

std::mutex g_mutex;

std::unordered_set<const Image*>& Registry() {
  static auto* live = new std::unordered_set<const Image*>;  // lives as long as the process
  return *live;
}

template <class Encode>
bool EncodeAndWrite(const NativePath& path, const Image* h, Encode encode) {
  if (!IsLive(h) || path.empty()) return false;
  try {
    std::vector<uint8_t> bytes;
    if (!encode(*h, bytes)) return false;
    return WriteFileReplacing(path, bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

Image* Adopt(Image&& img) {
  try {
    auto* h = new Image(std::move(img));
    std::lock_guard lock(g_mutex);
    try {
      Registry().insert(h);
    } catch (const std::bad_alloc&) {
      delete h;
      return nullptr;
    }
    return h;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool IsLive(const Image* h) {
  if (h == nullptr) return false;
  std::lock_guard lock(g_mutex);
  return Registry().count(h) != 0;
}

void Free(Image* h) {
  if (h == nullptr) return;
  {
    std::lock_guard lock(g_mutex);
    if (Registry().erase(h) == 0) return;
  }
  delete h;
}

Image* LoadMemory(const uint8_t* data, size_t size) {
  Image img;
  if (!Decode(data, size, img)) return nullptr;
  return Adopt(std::move(img));
}

Image* LoadFile(const NativePath& path) {
  std::vector<uint8_t> bytes;
  if (path.empty() || !ReadWholeFile(path, bytes)) return nullptr;
  return LoadMemory(bytes.data(), bytes.size());
}

bool GetInfo(const Image* h, InfoHeader* out) {
  if (!IsLive(h) || out == nullptr) return false;
  *out = InfoHeader{};
  out->size = 40;
  out->width = h->width;
  out->height = h->height;
  out->planes = 1;
  out->bitCount = static_cast<uint16_t>(h->bpp);
  out->sizeImage = static_cast<uint32_t>(h->stride * static_cast<size_t>(h->height));
  out->xPelsPerMeter = out->yPelsPerMeter = 3780;
  out->clrUsed = static_cast<uint32_t>(h->palette.size());
  return true;
}

Image* CropHandle(const Image* h, int x, int y, int width, int height) {
  if (!IsLive(h)) return nullptr;
  Image out;
  if (!Crop(*h, x, y, width, height, out)) return nullptr;
  return Adopt(std::move(out));
}

bool To24(Image* h) { return IsLive(h) && ConvertTo24(*h); }
bool To16(Image* h, int mode) { return IsLive(h) && ConvertTo16(*h, mode); }
bool To8(Image* h, int mode) { return IsLive(h) && ConvertTo8(*h, mode); }
bool Resize(Image* h, int width, int height) { return IsLive(h) && ScaleImage(*h, width, height); }

int64_t ReplacePairs(Image* h, const uint32_t* pairs, int count) {
  return IsLive(h) ? ReplaceColours(*h, pairs, count) : 0;
}

bool SaveBmp(const NativePath& path, const Image* h) {
  return EncodeAndWrite(path, h, [](const Image& img, std::vector<uint8_t>& out) {
    return EncodeBmp(img, out);
  });
}

bool SavePng(const NativePath& path, const Image* h, bool interlace) {
  return EncodeAndWrite(path, h, [interlace](const Image& img, std::vector<uint8_t>& out) {
    return EncodePng(img, interlace, out);
  });
}

bool SaveGif(const NativePath& path, const Image* h, const GifRecord* record) {
  if (record == nullptr) return false;
  GifRecord r = *record;
  return EncodeAndWrite(path, h, [&r](const Image& img, std::vector<uint8_t>& out) {
    return EncodeGif(img, r, out);
  });
}

bool HaveJpegEncoder() {
#ifdef IMGCTL_HAVE_JPEG
  return true;
#else
  return false;
#endif
}

bool SaveJpeg(const NativePath& path, const Image* h, int quality, bool progressive, bool fitTables) {
#ifdef IMGCTL_HAVE_JPEG
  return EncodeAndWrite(path, h, [=](const Image& img, std::vector<uint8_t>& out) {
    jpeg::EncodeOptions options;
    options.quality = quality < 0 ? 0 : quality > 100 ? 100 : quality;
    options.progressive = progressive;
    options.optimizeCoding = fitTables;
    if (img.bpp == 24 || img.bpp == 32)
      return jpeg::Encode(img.pixels.data(), img.width, img.height,
                          static_cast<std::ptrdiff_t>(img.stride), img.bpp / 8, options, out);
    Image wide;
    if (!ToBgra32(img, wide)) return false;
    return jpeg::Encode(wide.pixels.data(), wide.width, wide.height,
                        static_cast<std::ptrdiff_t>(wide.stride), 4, options, out);
  });
#else
  (void)path;
  (void)h;
  (void)quality;
  (void)progressive;
  (void)fitTables;
  return false;
#endif
}

}  // namespace imgctl
