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
  }
  imgctl::Free(h);
  return 0;
}
