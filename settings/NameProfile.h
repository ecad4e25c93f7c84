// FILE_NAME: the file-name template and the running number.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "SectionFields.h"

namespace pelmo {

class CNameProfile : public TableSection<CNameProfile> {
 public:
  static constexpr wchar_t kSection[] = L"FILE_NAME";
  static constexpr size_t kFileNameBuffer = 249;  // 248 characters
  static constexpr wchar_t kDefaultFileName[] = L"screenshot\\%p\\capture%r";

  CNameProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CNameProfile>& Fields();

  const std::wstring& GetFileName() const { return fileName_; }
  void SetFileName(const std::wstring& name) { fileName_ = name; }
  int32_t GetStartNumber() const { return startNumber_; }
  void SetStartNumber(int32_t v) { startNumber_ = v; }
  int32_t GetDigitCount() const { return digitCount_; }
  void SetDigitCount(int32_t v) { digitCount_ = v; }
  int32_t GetIncreasingNumber() const { return increasingNumber_; }
  void SetIncreasingNumber(int32_t v) { increasingNumber_ = v; }
  int32_t GetWindowNameLength() const { return windowNameLength_; }
  void SetWindowNameLength(int32_t v) { windowNameLength_ = v; }
  int32_t GetCurrentNumber() const { return currentNumber_; }
  // Also shows the number in the next-number display, when one is set.
  void SetCurrentNumber(int32_t v);

  // The file-name page's next-number box: called with each new CurrentNumber.
  void SetNextNumberDisplay(std::function<void(int32_t)> display) { nextNumberDisplay_ = std::move(display); }

 private:
  std::wstring fileName_;
  int32_t startNumber_ = 0;
  int32_t digitCount_ = 1;
  int32_t increasingNumber_ = 1;
  int32_t currentNumber_ = 0;
  int32_t windowNameLength_ = 16;
  std::function<void(int32_t)> nextNumberDisplay_;
};

}  // namespace pelmo
