// TIME: the settings of automatic capture.
#pragma once

#include <cstdint>

#include "SectionFields.h"

namespace pelmo {

class CTimeProfile : public TableSection<CTimeProfile> {
 public:
  static constexpr wchar_t kSection[] = L"TIME";

  CTimeProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CTimeProfile>& Fields();

  int32_t GetActionType() const { return actionType_; }
  void SetActionType(int32_t v) { actionType_ = v; }
  int32_t GetInterval() const { return interval_; }  // tenths of a second
  void SetInterval(int32_t v) { interval_ = v; }
  int32_t GetExitNoActive() const { return exitNoActive_; }
  void SetExitNoActive(int32_t v) { exitNoActive_ = v; }
  int32_t GetSoundOut() const { return soundOut_; }
  void SetSoundOut(int32_t v) { soundOut_ = v; }
  int32_t GetCaptureStart() const { return captureStart_; }
  void SetCaptureStart(int32_t v) { captureStart_ = v; }
  int32_t GetTargetOnly() const { return targetOnly_; }
  void SetTargetOnly(int32_t v) { targetOnly_ = v; }

 private:
  int32_t actionType_ = 2;
  int32_t interval_ = 50;
  int32_t exitNoActive_ = 0;
  int32_t soundOut_ = 0;
  int32_t captureStart_ = 0;
  int32_t targetOnly_ = 0;
};

}  // namespace pelmo
