#include "JpegEncoder.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "CoefficientPlanes.h"
#include "EntropySinks.h"
#include "ForwardDct.h"
#include "FrameLayout.h"
#include "HuffmanTable.h"
#include "MarkerWriter.h"
#include "OutputBuffer.h"
#include "QuantTables.h"
#include "SampleStrip.h"
#include "ScanCoder.h"
#include "SequentialCoder.h"

namespace imgctl::jpeg {
namespace {

constexpr int kMaxDimension = 65535;

struct StandardCodes {
  HuffmanCodes dcLuma = DeriveCodes(StandardDcLuma());
  HuffmanCodes dcChroma = DeriveCodes(StandardDcChroma());
  HuffmanCodes acLuma = DeriveCodes(StandardAcLuma());
  HuffmanCodes acChroma = DeriveCodes(StandardAcChroma());
};

const StandardCodes& Standard() {
  static const StandardCodes codes;
  return codes;
}

void WriteStandardTables(OutputBuffer& out) {
  WriteHuffmanTable(out, 0, 0, StandardDcLuma());
  WriteHuffmanTable(out, 1, 0, StandardAcLuma());
  WriteHuffmanTable(out, 0, 1, StandardDcChroma());
  WriteHuffmanTable(out, 1, 1, StandardAcChroma());
}

// Codes MCU rows [firstRow, endRow) with the example Huffman tables, converting one MCU row at a
// time and coding each block as soon as it is transformed, so memory stays proportional to the
// width. The DC predictions start from zero, as at the start of a scan or after a restart.
void EncodeMcuRows(const FrameLayout& layout, const PixelSource& source, const QuantDivisors* divisors,
                   int firstRow, int endRow, OutputBuffer& out) {
  const StandardCodes& standard = Standard();
  const HuffmanCodes* const codes[kSlotCount] = {&standard.dcLuma, &standard.dcChroma,
                                                 &standard.acLuma, &standard.acChroma};
  SampleStrip strip(layout);
  BitWriter writer(out);
  HuffmanEmitter emitter(writer, codes);
  int lastDc[3] = {0, 0, 0};
  const size_t mcuBytes = kMaxSequentialBlockBytes * layout.BlocksPerMcu();
  // One MCU's blocks (at most six), transformed together so that neighbours with the same tables
  // share one pass of the vector transform, then coded while still in L1.
  struct Block {
    int component;
    const uint8_t* samples;  // null for a block wholly in the padding
  };
  Block blocks[6];
  alignas(16) int16_t coefficients[6][64];
  alignas(16) int16_t dummy[64] = {};
  for (int mcuRow = firstRow; mcuRow < endRow; ++mcuRow) {
    strip.Load(source, mcuRow);
    for (int mx = 0; mx < layout.mcusWide; ++mx) {
      int count = 0;
      for (int c = 0; c < 3; ++c) {
        const ComponentLayout& comp = layout.components[c];
        const std::ptrdiff_t stride = strip.PlaneStride(c);
        const uint8_t* mcu = strip.Plane(c) + mx * comp.h * 8;
        for (int y = 0; y < comp.v; ++y) {
          const bool paddingRow = mcuRow * comp.v + y >= comp.usedBlocksHigh;
          for (int x = 0; x < comp.h; ++x) {
            const bool padding = paddingRow || mx * comp.h + x >= comp.usedBlocksWide;
            blocks[count++] = {c, padding ? nullptr : mcu + y * 8 * stride + x * 8};
          }
        }
      }
      for (int i = 0; i < count; ++i) {
        const Block& block = blocks[i];
        if (block.samples == nullptr) continue;
        const int table = layout.components[block.component].table;
        const std::ptrdiff_t stride = strip.PlaneStride(block.component);
        if (i + 1 < count && blocks[i + 1].samples != nullptr &&
            layout.components[blocks[i + 1].component].table == table &&
            strip.PlaneStride(blocks[i + 1].component) == stride) {
          TransformBlockPairNatural(block.samples, blocks[i + 1].samples, stride, divisors[table], coefficients[i],
                                    coefficients[i + 1]);
          ++i;
        } else {
          TransformBlockNatural(block.samples, stride, divisors[table], coefficients[i]);
        }
      }
      writer.Reserve(mcuBytes);
      for (int i = 0; i < count; ++i) {
        const int c = blocks[i].component;
        const int dcSlot = layout.components[c].table == 0 ? kDcLuma : kDcChroma;
        const int acSlot = layout.components[c].table == 0 ? kAcLuma : kAcChroma;
        if (blocks[i].samples == nullptr) {
          // A block wholly in the padding: only the previous block's DC, which costs two codes.
          dummy[0] = static_cast<int16_t>(lastDc[c]);
          EncodeSequentialNaturalBlock(dummy, lastDc[c], dcSlot, acSlot, emitter);
        } else {
          EncodeSequentialNaturalBlock(coefficients[i], lastDc[c], dcSlot, acSlot, emitter);
        }
      }
    }
  }
  writer.Flush();
}

void WriteStreamedScan(const FrameLayout& layout, const PixelSource& source,
                       const QuantDivisors* divisors, OutputBuffer& out) {
  WriteStandardTables(out);
  WriteScanHeader(out, layout, SequentialScan());
  EncodeMcuRows(layout, source, divisors, 0, layout.mcusHigh, out);
}

// Images from this size on are split across threads.
constexpr int64_t kThreadedPixels = 2000000;

int ThreadsFor(const EncodeOptions& options, int width, int height) {
  if (options.progressive || options.optimizeCoding || options.threads == 1) return 1;
  if (int64_t{width} * height < kThreadedPixels) return 1;
  int threads = options.threads;
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(threads, 1, 16);
}

// A sequential scan in independent parts of whole MCU rows, separated by restart markers, each
// coded by its own thread into its own buffer and joined in order. The restart interval counts
// MCUs, so every part but the last has the same number of rows.
void WriteThreadedScan(const FrameLayout& layout, const PixelSource& source, const QuantDivisors* divisors,
                       int threads, OutputBuffer& out) {
  // More parts than threads: a thread that gets less of the processor takes fewer of them.
  int parts = std::min(layout.mcusHigh, threads * 4);
  int rowsPerPart = (layout.mcusHigh + parts - 1) / parts;
  rowsPerPart = std::min(rowsPerPart, 65535 / layout.mcusWide);  // the interval is 16 bits
  rowsPerPart = std::max(rowsPerPart, 1);
  parts = (layout.mcusHigh + rowsPerPart - 1) / rowsPerPart;

  WriteStandardTables(out);
  WriteRestartInterval(out, static_cast<uint16_t>(rowsPerPart * layout.mcusWide));
  WriteScanHeader(out, layout, SequentialScan());

  std::vector<std::vector<uint8_t>> coded(static_cast<size_t>(parts));
  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  const size_t expected = static_cast<size_t>(layout.width) * static_cast<size_t>(rowsPerPart) *
                          static_cast<size_t>(layout.mcuHeight) / 8 + 1024;
  auto work = [&] {
    try {
      for (int part; (part = next.fetch_add(1)) < parts && !failed;) {
        OutputBuffer buffer(coded[static_cast<size_t>(part)], expected);
        const int first = part * rowsPerPart;
        EncodeMcuRows(layout, source, divisors, first, std::min(first + rowsPerPart, layout.mcusHigh), buffer);
        buffer.Finish();
      }
    } catch (...) {
      failed = true;
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (int t = 1; t < std::min(threads, parts); ++t) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads than hoped: the others take the parts.
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (failed) throw std::bad_alloc();
  for (int part = 0; part < parts; ++part) {
    if (part > 0) {
      out.PutByte(0xFF);
      out.PutByte(static_cast<uint8_t>(0xD0 + (part - 1) % 8));  // RST0..RST7 in turn
    }
    out.PutBytes(coded[static_cast<size_t>(part)].data(), coded[static_cast<size_t>(part)].size());
    std::vector<uint8_t>().swap(coded[static_cast<size_t>(part)]);
  }
}

// All coefficients first, then scans with fitted tables.
bool WriteBufferedScans(const FrameLayout& layout, const PixelSource& source,
                        const QuantDivisors* divisors, bool progressive, OutputBuffer& out) {
  uint64_t coefficientBytes = 0;
  for (const ComponentLayout& comp : layout.components) {
    coefficientBytes += uint64_t{128} * static_cast<uint64_t>(comp.blocksWide) * comp.blocksHigh;
  }
  if (coefficientBytes > static_cast<uint64_t>(std::numeric_limits<std::ptrdiff_t>::max() / 2)) {
    return false;  // cannot be addressed in this process
  }
  CoefficientPlanes planes(layout, layout.mcusHigh);
  {
    SampleStrip strip(layout);
    for (int mcuRow = 0; mcuRow < layout.mcusHigh; ++mcuRow) {
      strip.Load(source, mcuRow);
      planes.Transform(strip, divisors, mcuRow);
    }
  }
  const ScanParams sequential = SequentialScan();
  WriteScans(layout, planes, progressive ? ProgressiveScript() : std::span<const ScanParams>(&sequential, 1),
             out);
  return true;
}

bool EncodeFrame(const PixelSource& source, int width, int height, const EncodeOptions& options,
                 std::vector<uint8_t>& out) {
  const FrameLayout layout = FrameLayout::Make(width, height, options.subsample420);
  const QuantTable luma = ScaledQuantTable(false, options.quality);
  const QuantTable chroma = ScaledQuantTable(true, options.quality);
  const QuantDivisors divisors[2] = {MakeDivisors(luma), MakeDivisors(chroma)};

  // A first guess at the file size; the buffer grows as needed and is trimmed at the end.
  const size_t expected = static_cast<size_t>(width) * static_cast<size_t>(height) / 8 + 4096;
  OutputBuffer buffer(out, expected);
  WriteStartOfImage(buffer);
  WriteQuantTables(buffer, luma, chroma);
  WriteFrameHeader(buffer, layout, options.progressive);
  if (options.progressive || options.optimizeCoding) {
    if (!WriteBufferedScans(layout, source, divisors, options.progressive, buffer)) {
      buffer.Abandon();
      return false;
    }
  } else if (const int threads = ThreadsFor(options, width, height); threads > 1) {
    WriteThreadedScan(layout, source, divisors, threads, buffer);
  } else {
    WriteStreamedScan(layout, source, divisors, buffer);
  }
  WriteEndOfImage(buffer);
  buffer.Finish();
  return true;
}

}  // namespace

bool Encode(const uint8_t* pixels, int width, int height, std::ptrdiff_t stride, int bytesPerPixel,
            const EncodeOptions& options, std::vector<uint8_t>& out) {
  if (pixels == nullptr || width < 1 || height < 1 || width > kMaxDimension ||
      height > kMaxDimension || (bytesPerPixel != 3 && bytesPerPixel != 4)) {
    return false;
  }
  // Rows must not overlap.
  const auto rowBytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(bytesPerPixel);
  const uint64_t strideMagnitude =
      stride < 0 ? uint64_t{0} - static_cast<uint64_t>(stride) : static_cast<uint64_t>(stride);
  if (height > 1 && strideMagnitude < rowBytes) return false;

  const size_t originalSize = out.size();
  try {
    return EncodeFrame(PixelSource{pixels, stride, bytesPerPixel}, width, height, options, out);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  out.resize(originalSize);
  return false;
}

}  // namespace imgctl::jpeg
