// Geometry of a three-component YCbCr frame: sampling factors, MCU grid and block counts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace imgctl::jpeg {

struct ComponentLayout {
  uint8_t id = 0;          // component identifier in SOF/SOS (1 = Y, 2 = Cb, 3 = Cr)
  int h = 1, v = 1;        // sampling factors
  int table = 0;           // quantisation and Huffman table index: 0 luma, 1 chroma
  int blocksWide = 0;      // blocks per row, padded to whole MCUs
  int blocksHigh = 0;      // block rows, padded to whole MCUs
  int usedBlocksWide = 0;  // blocks that cover the component's samples (non-interleaved scans)
  int usedBlocksHigh = 0;
};

struct FrameLayout {
  int width = 0;
  int height = 0;
  int mcuWidth = 8;   // pixels
  int mcuHeight = 8;
  int mcusWide = 0;
  int mcusHigh = 0;
  std::array<ComponentLayout, 3> components{};

  static FrameLayout Make(int width, int height, bool subsample420);
  int BlocksPerMcu() const;
};

}  // namespace imgctl::jpeg
