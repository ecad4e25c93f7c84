#include "ScanCoder.h"

#include <array>
#include <bit>
#include <cstdlib>

#include "EntropySinks.h"
#include "MarkerWriter.h"
#include "BlockMasks.h"
#include "SequentialCoder.h"

namespace imgctl::jpeg {
namespace {

constexpr int kMaxEobRun = 0x7FFF;
constexpr int kMaxCorrectionBits = 1000;  // refinement bits held back for an EOB run
constexpr size_t kMaxBlockBytes = 1024;   // codes, an EOB run and its buffered bits, all stuffed

// Calls fn(component, blockX, blockY) in the scan's block order: MCU by MCU when interleaved,
// otherwise over the blocks that hold the component's samples.
template <class Fn>
void ForEachBlock(const FrameLayout& layout, const ScanParams& scan, Fn&& fn) {
  if (scan.componentCount == 1) {
    const int c = scan.components[0];
    const ComponentLayout& comp = layout.components[c];
    for (int by = 0; by < comp.usedBlocksHigh; ++by) {
      for (int bx = 0; bx < comp.usedBlocksWide; ++bx) fn(c, bx, by);
    }
    return;
  }
  for (int my = 0; my < layout.mcusHigh; ++my) {
    for (int mx = 0; mx < layout.mcusWide; ++mx) {
      for (int i = 0; i < scan.componentCount; ++i) {
        const int c = scan.components[i];
        const ComponentLayout& comp = layout.components[c];
        for (int y = 0; y < comp.v; ++y) {
          for (int x = 0; x < comp.h; ++x) fn(c, mx * comp.h + x, my * comp.v + y);
        }
      }
    }
  }
}

int DcSlot(const ComponentLayout& comp) { return comp.table == 0 ? kDcLuma : kDcChroma; }
int AcSlot(const ComponentLayout& comp) { return comp.table == 0 ? kAcLuma : kAcChroma; }

// One pass over a scan, counting symbols or writing them.
template <class Sink>
class ScanPass {
 public:
  ScanPass(const FrameLayout& layout, const ScanParams& scan, Sink& sink)
      : layout_(layout), scan_(scan), sink_(sink) {}

  void Run(const CoefficientPlanes& planes) {
    const bool sequential = scan_.ss == 0 && scan_.se == 63 && scan_.ah == 0 && scan_.al == 0;
    int acSlot = kAcLuma;
    ForEachBlock(layout_, scan_, [&](int c, int bx, int by) {
      const int16_t* block = planes.Block(c, bx, by);
      const ComponentLayout& comp = layout_.components[c];
      sink_.Reserve(kMaxBlockBytes);
      acSlot = AcSlot(comp);
      if (sequential) {
        EncodeSequentialBlock(block, lastDc_[c], DcSlot(comp), acSlot, sink_);
      } else if (scan_.ss == 0) {
        if (scan_.ah == 0) {
          DcFirst(block, c, DcSlot(comp));
        } else {
          sink_.Bits(static_cast<uint32_t>(block[0] >> scan_.al) & 1, 1);
        }
      } else if (scan_.ah == 0) {
        AcFirst(block, acSlot);
      } else {
        AcRefine(block, acSlot);
      }
    });
    sink_.Reserve(kMaxBlockBytes);
    EmitEobRun(acSlot);  // AC scans hold one component, so the slot is that of every block
  }

 private:
  void DcFirst(const int16_t* block, int c, int slot) {
    const int value = block[0] >> scan_.al;
    const CodedValue dc = Categorise(value - lastDc_[c]);
    lastDc_[c] = value;
    sink_.SymbolWithBits(slot, dc.category, dc.bits, dc.category);
  }

  void AcFirst(const int16_t* block, int slot) {
    const int al = scan_.al;
    uint64_t coded = MagnitudeMask(block, 1 << al) & BandMask(scan_.ss, scan_.se);
    int previous = scan_.ss - 1;
    while (coded != 0) {
      const int k = std::countr_zero(coded);
      coded &= coded - 1;
      int run = k - previous - 1;
      previous = k;
      EmitEobRun(slot);
      while (run > 15) {
        sink_.Symbol(slot, 0xF0);
        run -= 16;
      }
      // The point transform divides the magnitude, rounding towards zero.
      const int value = block[k];
      const int magnitude = std::abs(value) >> al;
      const int category = std::bit_width(static_cast<uint32_t>(magnitude));
      const uint32_t bits = static_cast<uint32_t>(value < 0 ? ~magnitude : magnitude) &
                            ((uint32_t{1} << category) - 1);
      sink_.SymbolWithBits(slot, (run << 4) | category, bits, category);
    }
    if (previous < scan_.se && ++eobRun_ == kMaxEobRun) EmitEobRun(slot);
  }

  void AcRefine(const int16_t* block, int slot) {
    const int al = scan_.al;
    const uint64_t band = BandMask(scan_.ss, scan_.se);
    uint64_t coded = MagnitudeMask(block, 1 << al) & band;
    // Coefficients that become non-zero in this scan; the others already sent get one more bit.
    const uint64_t newlyOne = coded & ~MagnitudeMask(block, 2 << al);
    const int lastNewlyOne = newlyOne == 0 ? 0 : 63 - std::countl_zero(newlyOne);
    int run = 0;                 // zero-history coefficients since the last code
    int previous = scan_.ss - 1;
    int pending = 0;             // correction bits of this block not yet sent
    uint8_t* pendingBits = correction_.data() + buffered_;
    while (coded != 0) {
      const int k = std::countr_zero(coded);
      coded &= coded - 1;
      run += k - previous - 1;
      previous = k;
      while (run > 15 && k <= lastNewlyOne) {
        EmitEobRun(slot);
        sink_.Symbol(slot, 0xF0);
        run -= 16;
        EmitBits(pendingBits, pending);
        pendingBits = correction_.data();
        pending = 0;
      }
      const int magnitude = std::abs(static_cast<int>(block[k])) >> al;
      if (magnitude > 1) {
        pendingBits[pending++] = static_cast<uint8_t>(magnitude & 1);
        continue;
      }
      EmitEobRun(slot);
      sink_.SymbolWithBits(slot, (run << 4) | 1, block[k] < 0 ? 0 : 1, 1);
      EmitBits(pendingBits, pending);
      pendingBits = correction_.data();
      pending = 0;
      run = 0;
    }
    run += scan_.se - previous;
    if (run > 0 || pending > 0) {
      ++eobRun_;
      buffered_ += pending;
      if (eobRun_ == kMaxEobRun || buffered_ > kMaxCorrectionBits - 64 + 1) EmitEobRun(slot);
    }
  }

  void EmitEobRun(int slot) {
    if (eobRun_ == 0) return;
    const int category = std::bit_width(static_cast<uint32_t>(eobRun_)) - 1;
    sink_.SymbolWithBits(slot, category << 4, static_cast<uint32_t>(eobRun_) & ((1u << category) - 1),
                         category);
    eobRun_ = 0;
    EmitBits(correction_.data(), buffered_);
    buffered_ = 0;
  }

  void EmitBits(const uint8_t* bits, int count) {
    if constexpr (!Sink::kCounting) {
      while (count > 0) {  // up to 16 bits per write
        const int n = count < 16 ? count : 16;
        uint32_t word = 0;
        for (int i = 0; i < n; ++i) word = (word << 1) | bits[i];
        sink_.Bits(word, n);
        bits += n;
        count -= n;
      }
    }
  }

  const FrameLayout& layout_;
  const ScanParams& scan_;
  Sink& sink_;
  int lastDc_[3] = {0, 0, 0};
  int eobRun_ = 0;
  int buffered_ = 0;
  std::array<uint8_t, kMaxCorrectionBits> correction_{};
};

constexpr ScanParams MakeScan(int component, int ss, int se, int ah, int al) {
  ScanParams scan;
  scan.componentCount = 1;
  scan.components = {component, 0, 0};
  scan.ss = ss;
  scan.se = se;
  scan.ah = ah;
  scan.al = al;
  return scan;
}

constexpr ScanParams MakeDcScan(int ah, int al) {
  ScanParams scan;
  scan.se = 0;
  scan.ah = ah;
  scan.al = al;
  return scan;
}

constexpr std::array<ScanParams, 10> kProgressiveScript = {
    MakeDcScan(0, 1),          MakeScan(0, 1, 5, 0, 2),  MakeScan(2, 1, 63, 0, 1),
    MakeScan(1, 1, 63, 0, 1),  MakeScan(0, 6, 63, 0, 2), MakeScan(0, 1, 63, 2, 1),
    MakeDcScan(1, 0),          MakeScan(2, 1, 63, 1, 0), MakeScan(1, 1, 63, 1, 0),
    MakeScan(0, 1, 63, 1, 0)};

}  // namespace

std::span<const ScanParams> ProgressiveScript() { return kProgressiveScript; }

ScanParams SequentialScan() { return ScanParams{}; }

void WriteScans(const FrameLayout& layout, const CoefficientPlanes& planes,
                std::span<const ScanParams> scans, OutputBuffer& out) {
  for (const ScanParams& scan : scans) {
    const bool dcRefine = scan.ss == 0 && scan.ah != 0;
    HuffmanCodes codes[kSlotCount];
    if (!dcRefine) {  // refining DC sends raw bits only
      SymbolCounts counts[kSlotCount] = {};
      SymbolCounter counter(counts);
      ScanPass<SymbolCounter>(layout, scan, counter).Run(planes);
      for (int slot = 0; slot < kSlotCount; ++slot) {
        bool used = false;
        for (uint64_t n : counts[slot]) used |= n != 0;
        if (!used) continue;
        const HuffmanDefinition definition = OptimalDefinition(counts[slot]);
        WriteHuffmanTable(out, slot >= kAcLuma ? 1 : 0, slot % 2, definition);
        codes[slot] = DeriveCodes(definition);
      }
    }
    WriteScanHeader(out, layout, scan);
    const HuffmanCodes* const table[kSlotCount] = {&codes[0], &codes[1], &codes[2], &codes[3]};
    BitWriter writer(out);
    HuffmanEmitter emitter(writer, table);
    ScanPass<HuffmanEmitter>(layout, scan, emitter).Run(planes);
    writer.Flush();
  }
}

}  // namespace imgctl::jpeg
