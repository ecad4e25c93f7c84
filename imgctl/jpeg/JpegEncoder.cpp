#include "JpegEncoder.h"

#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

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

// Sequential file with the example Huffman tables: one pass, converting one MCU row at a time
// and coding each block as soon as it is transformed, so memory stays proportional to the width.
void WriteStreamedScan(const FrameLayout& layout, const PixelSource& source,
                       const QuantDivisors* divisors, OutputBuffer& out) {
  WriteHuffmanTable(out, 0, 0, StandardDcLuma());
  WriteHuffmanTable(out, 1, 0, StandardAcLuma());
  WriteHuffmanTable(out, 0, 1, StandardDcChroma());
  WriteHuffmanTable(out, 1, 1, StandardAcChroma());
  WriteScanHeader(out, layout, SequentialScan());

  const StandardCodes& standard = Standard();
  const HuffmanCodes* const codes[kSlotCount] = {&standard.dcLuma, &standard.dcChroma,
                                                 &standard.acLuma, &standard.acChroma};
  SampleStrip strip(layout);
  BitWriter writer(out);
  HuffmanEmitter emitter(writer, codes);
  int lastDc[3] = {0, 0, 0};
  const size_t mcuBytes = kMaxSequentialBlockBytes * layout.BlocksPerMcu();
  alignas(16) int16_t block[64];
  for (int mcuRow = 0; mcuRow < layout.mcusHigh; ++mcuRow) {
    strip.Load(source, mcuRow);
    for (int mx = 0; mx < layout.mcusWide; ++mx) {
      writer.Reserve(mcuBytes);
      for (int c = 0; c < 3; ++c) {
        const ComponentLayout& comp = layout.components[c];
        const int dcSlot = comp.table == 0 ? kDcLuma : kDcChroma;
        const int acSlot = comp.table == 0 ? kAcLuma : kAcChroma;
        const std::ptrdiff_t stride = strip.PlaneStride(c);
        const uint8_t* mcu = strip.Plane(c) + mx * comp.h * 8;
        for (int y = 0; y < comp.v; ++y) {
          for (int x = 0; x < comp.h; ++x) {
            // Each block is coded while its coefficients are still in L1.
            TransformBlockTransposed(mcu + y * 8 * stride + x * 8, stride, divisors[comp.table], block);
            EncodeSequentialTransposedBlock(block, lastDc[c], dcSlot, acSlot, emitter);
          }
        }
      }
    }
  }
  writer.Flush();
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
