// Reference codecs for the JPEG tests and benchmark: libjpeg-turbo (native builds) and stb_image
// (every build).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "test_images.h"

namespace jpegtest {

struct Decoded {
  bool ok = false;
  std::string error;
  int width = 0;
  int height = 0;
  bool progressive = false;
  int samplingH[3] = {0, 0, 0};
  int samplingV[3] = {0, 0, 0};
  std::vector<uint8_t> rgb;  // top-down R,G,B
};

Decoded DecodeWithLibjpeg(const std::vector<uint8_t>& file);

// Quantised DCT coefficients of every component, block by block (natural order), as the
// reference decoder reads them.
struct Coefficients {
  bool ok = false;
  std::vector<std::vector<int16_t>> components;
};
Coefficients ReadCoefficients(const std::vector<uint8_t>& file);

// libjpeg-turbo's own encoding of the image (default DCT, standard tables, 4:2:0 or 4:4:4).
std::vector<uint8_t> EncodeWithLibjpeg(const Image& image, int quality, bool subsample420, bool progressive);

// libjpeg-turbo's baseline encoding (default DCT) of one 8-bit plane as a greyscale image, quantised
// with `table` (64 steps in natural order): its coefficients are its transform of exactly these
// samples.
std::vector<uint8_t> EncodePlaneWithLibjpeg(const std::vector<uint8_t>& plane, int width, int height,
                                            const uint16_t* table);


}  // namespace jpegtest

namespace jpegtest {

// stb_image as a second, independent decoder; unlike libjpeg it takes sides up to 65535.
Decoded DecodeWithStb(const std::vector<uint8_t>& file);

}  // namespace jpegtest
