#include "DispProfile.h"

#include <algorithm>

#include "IniStore.h"

namespace pelmo {
namespace {

std::wstring TrimSpaces(const std::wstring& s) {
  size_t b = s.find_first_not_of(L' ');
  if (b == std::wstring::npos) return {};
  size_t e = s.find_last_not_of(L' ');
  return s.substr(b, e - b + 1);
}

}  // namespace

CDispProfile::MonitorSource CDispProfile::monitorSource_ = nullptr;

void CDispProfile::SetMonitorSource(MonitorSource source) { monitorSource_ = source; }

CDispProfile::CDispProfile() { Refresh(); }

void CDispProfile::SetDefaults() {
  count_ = 0;
  displays_.clear();
  allDisplays_ = DisplayRect{};
}

const FieldTable<CDispProfile>& CDispProfile::Fields() {
  using F = SectionField<CDispProfile>;
  static const FieldTable<CDispProfile> table(kSection, {
      F::Text(L"DisplayName", &CDispProfile::displayName_, L"", kDisplayNameBuffer),
      F::Text(L"DeviceName", &CDispProfile::deviceName_, L"", kDeviceNameBuffer),
  });
  return table;
}

void CDispProfile::Refresh() {
  SetDefaults();
  if (monitorSource_) monitorSource_(*this);
}

void CDispProfile::ForEachDisplay(DisplayCallback callback, void* user) {
  Refresh();
  for (const auto& pair : displays_) {
    if (!callback(count_, pair, user)) break;
  }
}

std::optional<DisplayPair> CDispProfile::GetDisplay(size_t index) const {
  if (index >= displays_.size()) return std::nullopt;
  return displays_[index];
}

void CDispProfile::SetChosenDisplay(const DisplayPair& pair) {
  displayName_ = pair.devicePath;
  deviceName_ = pair.description;
}

std::wstring CDispProfile::GetDisplayText(const DisplayPair& pair) {
  if (pair.devicePath.empty() && pair.description.empty()) return L"（ディスプレイ未選択）";
  std::wstring path = pair.devicePath;
  const std::wstring prefix = L"\\\\.\\";
  for (size_t at; (at = path.find(prefix)) != std::wstring::npos;) path.erase(at, prefix.size());
  return path + L" on " + pair.description;
}

void CDispProfile::AddMonitor(const DisplayRect& m, const DisplayPair& pair) {
  // The rectangle always includes (0, 0): it starts there.
  allDisplays_.left = std::min(allDisplays_.left, m.left);
  allDisplays_.top = std::min(allDisplays_.top, m.top);
  allDisplays_.right = std::max(allDisplays_.right, m.right);
  allDisplays_.bottom = std::max(allDisplays_.bottom, m.bottom);
  displays_.push_back({TrimSpaces(pair.devicePath), TrimSpaces(pair.description)});
  ++count_;
}

}  // namespace pelmo
