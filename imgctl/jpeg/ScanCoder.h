// Writes scans over fully computed coefficients, each with Huffman tables fitted to its own
// symbols: the progressive script, or one sequential scan with optimised tables.
#pragma once

#include <span>

#include "CoefficientPlanes.h"
#include "FrameLayout.h"
#include "OutputBuffer.h"
#include "ScanParams.h"

namespace imgctl::jpeg {

// DC first with one bit held back, luma AC in two bands, chroma AC, then the refinement scans:
// the usual default script for three-component progressive files.
std::span<const ScanParams> ProgressiveScript();

// The single interleaved scan of a sequential file.
ScanParams SequentialScan();

// For each scan: DHT segments for the tables it uses, SOS, then the entropy-coded data.
void WriteScans(const FrameLayout& layout, const CoefficientPlanes& planes,
                std::span<const ScanParams> scans, OutputBuffer& out);

}  // namespace imgctl::jpeg
