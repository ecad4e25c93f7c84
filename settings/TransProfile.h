// TRANSLATE: the destination folder of the image conversion tool.
#pragma once

#include <cstdint>
#include <string>

#include "SectionFields.h"

namespace pelmo {

class CTransProfile : public TableSection<CTransProfile> {
 public:
  static constexpr wchar_t kSection[] = L"TRANSLATE";
  static constexpr size_t kPathBuffer = 2048;

  CTransProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CTransProfile>& Fields();

  int32_t GetEnableSaveDirectory() const { return enableSaveDirectory_; }
  void SetEnableSaveDirectory(int32_t on) { enableSaveDirectory_ = on; }
  const std::wstring& GetSaveDirectory() const { return saveDirectory_; }
  void SetSaveDirectory(const std::wstring& folder) { saveDirectory_ = folder; }

 private:
  int32_t enableSaveDirectory_ = 0;
  std::wstring saveDirectory_;
};

}  // namespace pelmo
