// Baseline and progressive JPEG encoder for 8-bit BGR(A) pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace imgctl::jpeg {

struct EncodeOptions {
  int quality = 75;          // 0..100, standard quality scaling of the quantisation tables
  bool progressive = false;  // spectral selection and successive approximation scans
  bool subsample420 = true;  // 2x2 chroma subsampling; false = 4:4:4
  bool optimizeCoding = false;  // sequential files: Huffman tables fitted to the image (slower,
                                // a few per cent smaller); progressive files always fit them
  int threads = 0;  // sequential files of 2 megapixels or more are coded in parts with restart
                    // markers, one thread per part: 0 = as many as the processor has, 1 = none
};

// pixels: top-down rows of `width` pixels, `bytesPerPixel` 3 (B,G,R) or 4 (B,G,R,X), rows
// `stride` bytes apart (may be negative for bottom-up buffers, pointing at the top row).
// Appends a complete JFIF file to `out`; false (with `out` unchanged) on invalid arguments.
bool Encode(const uint8_t* pixels, int width, int height, std::ptrdiff_t stride, int bytesPerPixel,
            const EncodeOptions& options, std::vector<uint8_t>& out);

}  // namespace imgctl::jpeg
