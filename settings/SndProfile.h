// SOUND: per event, whether a sound plays and which file; and a switch that silences all.
// The sounds of the common events live in common.ini.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "EventProfile.h"

namespace pelmo {

class CSndProfile : public CEventProfile {
 public:
  static constexpr wchar_t kSection[] = L"SOUND";
  static constexpr size_t kPathBuffer = 2048;
  static constexpr wchar_t kDefaultSoundFile[] = L"Sounds\\クラシック カメラ.wav";

  CSndProfile();

  void SetDefaults() override;
  bool IsEqual(const CEventProfile& other) override;
  void Write(const std::wstring& profilePath) override;
  void Read(const std::wstring& profilePath) override;
  void WriteCommon() override;
  void WriteRunningState(const std::wstring& profilePath) override;

  int32_t GetAllSoundOff() const { return allSoundOff_; }
  void SetAllSoundOff(int32_t v) { allSoundOff_ = v; }
  // Per event; an event outside 0..16 reads as off with no file, and is never stored.
  int32_t GetSoundOn(CaptureEventId event) const;
  void SetSoundOn(CaptureEventId event, int32_t on);
  std::wstring GetSoundFile(CaptureEventId event) const;
  void SetSoundFile(CaptureEventId event, const std::wstring& file);

  // Events 0..8 default to the camera sound, the others to none.
  static const wchar_t* DefaultSoundFile(CaptureEventId event);

 private:
  void ReadEvent(const std::wstring& file, const std::wstring& section, CaptureEventId e);
  void WriteEvent(const std::wstring& file, const std::wstring& section, CaptureEventId e) const;

  int32_t allSoundOff_ = 0;
  std::array<std::wstring, kEventCount> soundFiles_;
  std::array<int32_t, kEventCount> soundOn_{};
};

}  // namespace pelmo
