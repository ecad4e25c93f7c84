// TIME: the settings of automatic capture.
#pragma once

#include <cstdint>
#include <functional>

#include "SectionFields.h"
#include "WindowHandle.h"

namespace pelmo {

class CTimeProfile : public TableSection<CTimeProfile> {
 public:
  static constexpr wchar_t kSection[] = L"TIME";

  CTimeProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CTimeProfile>& Fields();
  // Loading a profile ends a running automatic capture first.
  void Read(const std::wstring& profilePath) override;

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

  // Run-time state of automatic capture: never stored, and never copied with the settings (a
  // snapshot or a copied profile is not running).
  struct RunState {
    WindowHandle timerWindow = nullptr;  // the window that owns the timer
    WindowHandle target = nullptr;       // the window recorded at the start; null = none
    unsigned timerId = 0;
    int32_t running = 0;
    std::function<void()> stop;  // stops a running capture (set by whoever drives the timer)
    RunState() = default;
    RunState(const RunState&) {}
    RunState& operator=(const RunState&) { return *this; }
  };
  RunState& Run() { return run_; }
  const RunState& Run() const { return run_; }
  bool IsAutoCaptureRunning() const { return run_.running != 0; }

  // A tick's two tests, given what the window system says about the target now.
  // False ends the run: the target is gone, or (with ExitNoActive) no longer in front.
  bool TargetStillValid(bool targetIsWindow, bool targetIsForeground) const;
  // False skips the tick: a window event tied to a target that is not in front.
  bool ShouldCaptureNow(bool targetIsForeground) const;

 private:
  RunState run_;
  int32_t actionType_ = 2;
  int32_t interval_ = 50;
  int32_t exitNoActive_ = 0;
  int32_t soundOut_ = 0;
  int32_t captureStart_ = 0;
  int32_t targetOnly_ = 0;
};

}  // namespace pelmo
