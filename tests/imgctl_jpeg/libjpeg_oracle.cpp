#include "reference_codecs.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace jpegtest {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  info->err->format_message(info, manager->message);
  std::longjmp(manager->jump, 1);
}

// Warnings (corrupt data that libjpeg recovers from) count as failures.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) OnError(info);
}

}  // namespace

Decoded DecodeWithLibjpeg(const std::vector<uint8_t>& file) {
  Decoded result;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  if (setjmp(errors.jump)) {
    result.ok = false;
    result.error = errors.message;
    jpeg_destroy_decompress(&info);
    return result;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  result.progressive = info.progressive_mode != 0;
  for (int c = 0; c < info.num_components && c < 3; ++c) {
    result.samplingH[c] = info.comp_info[c].h_samp_factor;
    result.samplingV[c] = info.comp_info[c].v_samp_factor;
  }
  jpeg_start_decompress(&info);
  result.width = static_cast<int>(info.output_width);
  result.height = static_cast<int>(info.output_height);
  result.rgb.resize(static_cast<size_t>(result.width) * result.height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = result.rgb.data() + static_cast<size_t>(info.output_scanline) * result.width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  result.ok = true;
  return result;
}

Coefficients ReadCoefficients(const std::vector<uint8_t>& file) {
  Coefficients result;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    result.components.clear();
    return result;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
  jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& comp = info.comp_info[c];
    std::vector<int16_t>& blocks = result.components.emplace_back();
    for (JDIMENSION by = 0; by < comp.height_in_blocks; ++by) {
      JBLOCKARRAY row = info.mem->access_virt_barray(reinterpret_cast<j_common_ptr>(&info), arrays[c], by, 1, FALSE);
      for (JDIMENSION bx = 0; bx < comp.width_in_blocks; ++bx) {
        blocks.insert(blocks.end(), row[0][bx], row[0][bx] + DCTSIZE2);
      }
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  result.ok = true;
  return result;
}

std::vector<uint8_t> EncodeWithLibjpeg(const Image& image, int quality, bool subsample420, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width);
  info.image_height = static_cast<JDIMENSION>(image.height);
  info.input_components = image.bytesPerPixel;
  info.in_color_space = image.bytesPerPixel == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  const int factor = subsample420 ? 2 : 1;
  info.comp_info[0].h_samp_factor = factor;
  info.comp_info[0].v_samp_factor = factor;
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPROW>(image.pixels.data() + static_cast<size_t>(info.next_scanline) * image.Stride());
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

std::vector<uint8_t> EncodePlaneWithLibjpeg(const std::vector<uint8_t>& plane, int width, int height,
                                            const uint16_t* table) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 1;
  info.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&info);
  unsigned int steps[DCTSIZE2];
  for (int i = 0; i < DCTSIZE2; ++i) steps[i] = table[i];
  jpeg_add_quant_table(&info, 0, steps, 100, TRUE);  // scale 100: the steps as given
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPROW>(plane.data() + static_cast<size_t>(info.next_scanline) * width);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

}  // namespace jpegtest
