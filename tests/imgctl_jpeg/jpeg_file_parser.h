// A strict reader of the marker structure of a JPEG file, for checking what the encoder writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jpegtest {

struct Segment {
  uint8_t marker = 0;
  std::vector<uint8_t> payload;  // without the length field
  std::vector<uint8_t> entropy;  // SOS only: the coded data as stored (stuffing included)
};

struct ParsedFile {
  bool ok = false;
  std::string error;
  std::vector<Segment> segments;  // SOI first, EOI last

  std::vector<const Segment*> All(uint8_t marker) const;
  const Segment* First(uint8_t marker) const;
};

// Fails on anything but SOI ... EOI with well-formed segments, entropy data in which 0xFF is
// always followed by 0x00, and nothing after EOI.
ParsedFile ParseJpeg(const uint8_t* data, size_t size);

}  // namespace jpegtest
