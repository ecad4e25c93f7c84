#include "reference_codecs.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace jpegtest {

Decoded DecodeWithStb(const std::vector<uint8_t>& file) {
  Decoded result;
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
  if (pixels == nullptr) {
    result.error = stbi_failure_reason();
    return result;
  }
  result.ok = true;
  result.width = width;
  result.height = height;
  result.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
  stbi_image_free(pixels);
  return result;
}

}  // namespace jpegtest
