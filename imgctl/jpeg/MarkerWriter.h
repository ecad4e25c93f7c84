// The marker segments of a JFIF file.
#pragma once

#include <cstdint>

#include "FrameLayout.h"
#include "HuffmanTable.h"
#include "OutputBuffer.h"
#include "QuantTables.h"
#include "ScanParams.h"

namespace imgctl::jpeg {

void WriteStartOfImage(OutputBuffer& out);         // SOI and the JFIF APP0 segment
void WriteQuantTables(OutputBuffer& out, const QuantTable& luma, const QuantTable& chroma);
void WriteFrameHeader(OutputBuffer& out, const FrameLayout& layout, bool progressive);  // SOF0/SOF2
// tableClass 0 = DC, 1 = AC.
void WriteHuffmanTable(OutputBuffer& out, int tableClass, int tableId, const HuffmanDefinition& definition);
void WriteScanHeader(OutputBuffer& out, const FrameLayout& layout, const ScanParams& scan);
void WriteRestartInterval(OutputBuffer& out, uint16_t mcus);  // DRI
void WriteEndOfImage(OutputBuffer& out);

}  // namespace imgctl::jpeg
