// libFuzzer target: loading one image format through the library's load entry point, then
// writing what was decoded with each of our encoders. FUZZ_FORMAT picks the format.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "BmpWriter.h"
#include "Decode.h"
#include "GifWriter.h"
#include "Library.h"
#include "PngWriter.h"
#include "jpeg/JpegEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (imgctl::Sniff(data, size) != imgctl::Format::FUZZ_FORMAT) return -1;  // keep the corpus to one format
  imgctl::Image* h = imgctl::LoadMemory(data, size);
  if (h == nullptr) return 0;
  if (static_cast<int64_t>(h->width) * h->height <= 128 * 128) {
    std::vector<uint8_t> out;
    imgctl::EncodePng(*h, (size & 1) != 0, out);
    out.clear();
    imgctl::GifRecord rec{0x80008, 0xffffff, 0, 0, 0, 8, 0};
    imgctl::EncodeGif(*h, rec, out);
    out.clear();
    imgctl::EncodeBmp(*h, out);
    out.clear();
    // The JPEG encoder: odd sizes, padding blocks, and fitted tables from whatever was decoded.
    imgctl::jpeg::EncodeOptions options;
    options.quality = static_cast<int>(size % 101);
    options.progressive = (size & 2) != 0;
    options.optimizeCoding = (size & 4) != 0;
    options.subsample420 = (size & 8) == 0;
    const imgctl::Image& img = *h;
    if (img.bpp == 32 || img.bpp == 24)
      imgctl::jpeg::Encode(img.pixels.data(), img.width, img.height, static_cast<std::ptrdiff_t>(img.stride),
                           img.bpp / 8, options, out);
  }
  imgctl::Free(h);
  return 0;
}
