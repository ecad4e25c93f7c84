// OPTION: where captures go, in which format, and the last file saved.
#pragma once

#include <cstdint>
#include <string>

#include "SectionFields.h"

namespace pelmo {

class CGenProfile : public TableSection<CGenProfile> {
 public:
  static constexpr wchar_t kSection[] = L"OPTION";
  static constexpr size_t kPathBuffer = 2048;
  enum ImageType : int32_t { kBmp = 0, kJpg = 1, kGif = 2, kPng = 3 };

  CGenProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CGenProfile>& Fields();

  const std::wstring& GetSaveFolder() const { return saveFolder_; }
  void SetSaveFolder(const std::wstring& folder) { saveFolder_ = folder; }
  const std::wstring& GetLastSaveFile() const { return lastSaveFile_; }
  void SetLastSaveFile(const std::wstring& file) { lastSaveFile_ = file; }
  int32_t GetImageType() const { return imageType_; }
  void SetImageType(int32_t type) { imageType_ = type; }

  // The user's documents folder; empty when it cannot be located.
  static std::wstring GetDefaultSaveFolder();
#ifdef _WIN32
  // Open a folder or a file with the shell; false when the shell refused (or for an empty path).
  static bool OpenFolder(const std::wstring& path);
  static bool OpenFile(const std::wstring& path);
#endif

 private:
  std::wstring saveFolder_;
  std::wstring lastSaveFile_;
  int32_t imageType_ = kJpg;
};

}  // namespace pelmo
