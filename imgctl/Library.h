// The codec library's operations on image handles, shared by the DLL's exports, the native tests
// and the fuzz targets. Every function accepts a handle it did not create (or one already freed)
// and then fails without touching memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "FileIo.h"
#include "GifWriter.h"
#include "Image.h"

namespace imgctl {

// Layout of the 40-byte bitmap information header that GetInfo fills.
struct InfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // positive: the rows of a written BMP run bottom-up
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(InfoHeader) == 40);

// Handles: a registered image owned by the library until Free.
Image* Adopt(Image&& img);  // null when out of memory
bool IsLive(const Image* h);
void Free(Image* h);

Image* LoadFile(const NativePath& path);
Image* LoadMemory(const uint8_t* data, size_t size);

bool GetInfo(const Image* h, InfoHeader* out);
Image* CropHandle(const Image* h, int x, int y, int width, int height);
bool To24(Image* h);
bool To16(Image* h, int mode);
bool To8(Image* h, int mode);
bool Resize(Image* h, int width, int height);
int64_t ReplacePairs(Image* h, const uint32_t* pairs, int count);

bool SaveBmp(const NativePath& path, const Image* h);
// fitTables: Huffman tables fitted to the image instead of the standard ones (sequential files).
bool SaveJpeg(const NativePath& path, const Image* h, int quality, bool progressive, bool fitTables = false);
bool SavePng(const NativePath& path, const Image* h, bool interlace);
bool SaveGif(const NativePath& path, const Image* h, const GifRecord* record);

// Whether this build has the JPEG encoder.
bool HaveJpegEncoder();

}  // namespace imgctl
