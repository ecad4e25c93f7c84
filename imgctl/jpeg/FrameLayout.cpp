#include "FrameLayout.h"

namespace imgctl::jpeg {
namespace {

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

FrameLayout FrameLayout::Make(int width, int height, bool subsample420) {
  FrameLayout layout;
  layout.width = width;
  layout.height = height;
  const int maxFactor = subsample420 ? 2 : 1;
  layout.mcuWidth = layout.mcuHeight = 8 * maxFactor;
  layout.mcusWide = CeilDiv(width, layout.mcuWidth);
  layout.mcusHigh = CeilDiv(height, layout.mcuHeight);
  for (int c = 0; c < 3; ++c) {
    ComponentLayout& comp = layout.components[c];
    comp.id = static_cast<uint8_t>(c + 1);
    comp.h = comp.v = c == 0 ? maxFactor : 1;
    comp.table = c == 0 ? 0 : 1;
    comp.blocksWide = layout.mcusWide * comp.h;
    comp.blocksHigh = layout.mcusHigh * comp.v;
    // Samples of the component: ceil(size * factor / maxFactor).
    comp.usedBlocksWide = CeilDiv(CeilDiv(width * comp.h, maxFactor), 8);
    comp.usedBlocksHigh = CeilDiv(CeilDiv(height * comp.v, maxFactor), 8);
  }
  return layout;
}

int FrameLayout::BlocksPerMcu() const {
  int blocks = 0;
  for (const auto& comp : components) blocks += comp.h * comp.v;
  return blocks;
}

}  // namespace imgctl::jpeg
