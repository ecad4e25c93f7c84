// DISPLAY: the display chosen for the chosen-display capture, and the list of displays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SectionFields.h"

namespace pelmo {

struct DisplayPair {
  std::wstring devicePath;   // "\\.\DISPLAY1"
  std::wstring description;  // the adapter's name
  bool operator==(const DisplayPair&) const = default;
};

struct DisplayRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const DisplayRect&) const = default;
};

class CDispProfile : public TableSection<CDispProfile> {
 public:
  static constexpr wchar_t kSection[] = L"DISPLAY";
  static constexpr size_t kDisplayNameBuffer = 32;
  static constexpr size_t kDeviceNameBuffer = 128;
  using DisplayCallback = int (*)(int32_t count, const DisplayPair& pair, void* user);

  // Enumerates the displays once.
  CDispProfile();
  // Every key of the section, its field, default and home.
  static const FieldTable<CDispProfile>& Fields();

  // Clears the enumeration state only; the chosen display stays.
  void SetDefaults() override;

  void Refresh();
  // Refresh, then the callback for each display in order until it returns 0.
  void ForEachDisplay(DisplayCallback callback, void* user);
  std::optional<DisplayPair> GetDisplay(size_t index) const;
  void SetChosenDisplay(const DisplayPair& pair);
  const std::wstring& GetDisplayName() const { return displayName_; }
  const std::wstring& GetDeviceName() const { return deviceName_; }
  void GetAllDisplaysRect(DisplayRect& rect) const { rect = allDisplays_; }
  int32_t GetCount() const { return count_; }
  const std::vector<DisplayPair>& GetDisplays() const { return displays_; }

  // "（ディスプレイ未選択）" for an empty pair, else "DISPLAY2 on <description>".
  static std::wstring GetDisplayText(const DisplayPair& pair);
  // Where the list comes from: the capture layer installs the platform's monitors at start
  // (settings sit below capture and cannot ask the platform's display code themselves). Without a
  // source the list is empty.
  using MonitorSource = void (*)(CDispProfile& profile);
  static void SetMonitorSource(MonitorSource source);

  // One monitor found by the enumeration: widens the rectangle and appends the trimmed pair.
  void AddMonitor(const DisplayRect& monitor, const DisplayPair& pair);

 private:
  static MonitorSource monitorSource_;

  int32_t count_ = 0;
  std::wstring displayName_;
  std::wstring deviceName_;
  DisplayRect allDisplays_;
  std::vector<DisplayPair> displays_;
};

}  // namespace pelmo
