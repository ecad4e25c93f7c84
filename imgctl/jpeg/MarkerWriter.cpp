#include "MarkerWriter.h"

namespace imgctl::jpeg {
namespace {

void PutMarker(OutputBuffer& out, uint8_t marker) {
  out.PutByte(0xFF);
  out.PutByte(marker);
}

}  // namespace

void WriteStartOfImage(OutputBuffer& out) {
  PutMarker(out, 0xD8);
  PutMarker(out, 0xE0);
  static const uint8_t app0[] = {0x00, 0x10, 'J', 'F', 'I', 'F', 0x00,  // length 16, identifier
                                 0x01, 0x01,                          // version 1.01
                                 0x00, 0x00, 0x01, 0x00, 0x01,        // aspect ratio 1:1
                                 0x00, 0x00};                         // no thumbnail
  out.PutBytes(app0, sizeof app0);
}

void WriteQuantTables(OutputBuffer& out, const QuantTable& luma, const QuantTable& chroma) {
  PutMarker(out, 0xDB);
  out.PutWord(2 + 2 * 65);
  const QuantTable* tables[2] = {&luma, &chroma};
  for (int id = 0; id < 2; ++id) {
    out.PutByte(static_cast<uint8_t>(id));  // 8-bit precision
    for (int k = 0; k < 64; ++k) out.PutByte(static_cast<uint8_t>((*tables[id])[kZigzagToNatural[k]]));
  }
}

void WriteFrameHeader(OutputBuffer& out, const FrameLayout& layout, bool progressive) {
  PutMarker(out, progressive ? 0xC2 : 0xC0);
  out.PutWord(8 + 3 * 3);
  out.PutByte(8);
  out.PutWord(static_cast<uint16_t>(layout.height));
  out.PutWord(static_cast<uint16_t>(layout.width));
  out.PutByte(3);
  for (const ComponentLayout& comp : layout.components) {
    out.PutByte(comp.id);
    out.PutByte(static_cast<uint8_t>((comp.h << 4) | comp.v));
    out.PutByte(static_cast<uint8_t>(comp.table));
  }
}

void WriteHuffmanTable(OutputBuffer& out, int tableClass, int tableId, const HuffmanDefinition& definition) {
  PutMarker(out, 0xC4);
  out.PutWord(static_cast<uint16_t>(2 + 1 + 16 + definition.symbolCount));
  out.PutByte(static_cast<uint8_t>((tableClass << 4) | tableId));
  out.PutBytes(definition.counts.data(), 16);
  out.PutBytes(definition.symbols.data(), static_cast<size_t>(definition.symbolCount));
}

void WriteRestartInterval(OutputBuffer& out, uint16_t mcus) {
  PutMarker(out, 0xDD);
  out.PutWord(4);
  out.PutWord(mcus);
}

void WriteScanHeader(OutputBuffer& out, const FrameLayout& layout, const ScanParams& scan) {
  PutMarker(out, 0xDA);
  out.PutWord(static_cast<uint16_t>(6 + 2 * scan.componentCount));
  out.PutByte(static_cast<uint8_t>(scan.componentCount));
  for (int i = 0; i < scan.componentCount; ++i) {
    const ComponentLayout& comp = layout.components[scan.components[i]];
    out.PutByte(comp.id);
    out.PutByte(static_cast<uint8_t>((comp.table << 4) | comp.table));
  }
  out.PutByte(static_cast<uint8_t>(scan.ss));
  out.PutByte(static_cast<uint8_t>(scan.se));
  out.PutByte(static_cast<uint8_t>((scan.ah << 4) | scan.al));
}

void WriteEndOfImage(OutputBuffer& out) { PutMarker(out, 0xD9); }

}  // namespace imgctl::jpeg
