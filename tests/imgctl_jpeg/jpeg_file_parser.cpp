#include "jpeg_file_parser.h"

namespace jpegtest {

std::vector<const Segment*> ParsedFile::All(uint8_t marker) const {
  std::vector<const Segment*> found;
  for (const Segment& segment : segments) {
    if (segment.marker == marker) found.push_back(&segment);
  }
  return found;
}

const Segment* ParsedFile::First(uint8_t marker) const {
  for (const Segment& segment : segments) {
    if (segment.marker == marker) return &segment;
  }
  return nullptr;
}

ParsedFile ParseJpeg(const uint8_t* data, size_t size) {
  ParsedFile file;
  auto fail = [&](const std::string& why) {
    file.ok = false;
    file.error = why;
    return file;
  };
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return fail("no SOI");
  file.segments.push_back(Segment{0xD8, {}, {}});
  size_t pos = 2;
  for (;;) {
    if (pos + 2 > size) return fail("truncated before a marker");
    if (data[pos] != 0xFF) return fail("expected a marker at " + std::to_string(pos));
    const uint8_t marker = data[pos + 1];
    pos += 2;
    if (marker == 0xD9) {
      file.segments.push_back(Segment{marker, {}, {}});
      if (pos != size) return fail("bytes after EOI");
      file.ok = true;
      return file;
    }
    if (pos + 2 > size) return fail("truncated length");
    const size_t length = (static_cast<size_t>(data[pos]) << 8) | data[pos + 1];
    if (length < 2 || pos + length > size) return fail("bad segment length");
    Segment segment;
    segment.marker = marker;
    segment.payload.assign(data + pos + 2, data + pos + length);
    pos += length;
    if (marker == 0xDA) {
      while (pos < size) {
        if (data[pos] == 0xFF) {
          if (pos + 1 >= size) return fail("0xFF at end of data");
          if (data[pos + 1] != 0x00) break;  // a marker ends the scan
          segment.entropy.push_back(0xFF);
          segment.entropy.push_back(0x00);
          pos += 2;
        } else {
          segment.entropy.push_back(data[pos++]);
        }
      }
    }
    file.segments.push_back(std::move(segment));
  }
}

}  // namespace jpegtest
