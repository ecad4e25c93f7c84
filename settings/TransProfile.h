// TRANSLATE: the destination folder of the image conversion tool.
#pragma once

#include <cstdint>
#include <string>

#include "EventProfile.h"

namespace pelmo {

class CTransProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"TRANSLATE";
  static constexpr size_t kPathBuffer = 2048;

  CTransProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;

  int32_t GetEnableSaveDirectory() const { return enableSaveDirectory_; }
  void SetEnableSaveDirectory(int32_t on) { enableSaveDirectory_ = on; }
  const std::wstring& GetSaveDirectory() const { return saveDirectory_; }
  void SetSaveDirectory(const std::wstring& folder) { saveDirectory_ = folder; }

 private:
  int32_t enableSaveDirectory_ = 0;
  std::wstring saveDirectory_;
};

}  // namespace pelmo
