#include "NameProfile.h"

#include "IniStore.h"

namespace pelmo {

CNameProfile::CNameProfile() { CNameProfile::SetDefaults(); }

void CNameProfile::SetDefaults() {
  fileName_ = kDefaultFileName;
  startNumber_ = 0;
  digitCount_ = 1;
  increasingNumber_ = 1;
  currentNumber_ = 0;
  windowNameLength_ = 16;
}

bool CNameProfile::IsEqual(const CEventProfile& other) {
  const auto* o = dynamic_cast<const CNameProfile*>(&other);
  return o && fileName_ == o->fileName_ && startNumber_ == o->startNumber_ &&
         digitCount_ == o->digitCount_ && increasingNumber_ == o->increasingNumber_ &&
         windowNameLength_ == o->windowNameLength_;
}

void CNameProfile::Write(const std::wstring& path) {
  IniStore::WriteString(path, kSection, L"FileName", fileName_);
  IniStore::WriteInt(path, kSection, L"StartNumber", startNumber_);
  IniStore::WriteInt(path, kSection, L"DigitCount", digitCount_);
  IniStore::WriteInt(path, kSection, L"IncreasingNumber", increasingNumber_);
  if (IniStore::FileExists(path)) IniStore::WriteInt(path, kSection, L"CurrentNumber", currentNumber_);
  IniStore::WriteInt(path, kSection, L"WindowNameLength", windowNameLength_);
}

void CNameProfile::Read(const std::wstring& path) {
  fileName_ = IniStore::ReadString(path, kSection, L"FileName", kDefaultFileName, kFileNameBuffer);
  startNumber_ = IniStore::ReadInt(path, kSection, L"StartNumber", 0);
  digitCount_ = IniStore::ReadInt(path, kSection, L"DigitCount", 1);
  currentNumber_ = IniStore::ReadInt(path, kSection, L"CurrentNumber", startNumber_);
  increasingNumber_ = IniStore::ReadInt(path, kSection, L"IncreasingNumber", 1);
  windowNameLength_ = IniStore::ReadInt(path, kSection, L"WindowNameLength", 16);
}

void CNameProfile::WriteRunningState(const std::wstring& path) {
  if (IniStore::FileExists(path)) IniStore::WriteInt(path, kSection, L"CurrentNumber", currentNumber_);
}

void CNameProfile::SetCurrentNumber(int32_t v) {
  currentNumber_ = v;
  if (nextNumberDisplay_) nextNumberDisplay_(currentNumber_);
}

}  // namespace pelmo
