// template.ini: ready-made sizes for the resize and screen-cut pages and sound paths for the
// sound page. Read once, at the first lookup of each list, and kept for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelmo {

class TemplateFile {
 public:
  static constexpr size_t kNameBuffer = 32;    // names: 31 characters
  static constexpr size_t kPathBuffer = 2048;  // sound paths: whole, as the sound page keeps them

  // Each fails past the end of its list and leaves the output untouched.
  static bool GetSizeTemplateName(size_t index, std::wstring& name);
  static bool GetSizeTemplateSize(size_t index, int32_t& width, int32_t& height);
  static bool GetSoundTemplatePath(size_t index, std::wstring& path);

  // Forget what was read, so the next lookup reads the file again (tests only).
  static void ResetForTesting();
};

}  // namespace pelmo
