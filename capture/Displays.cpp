#include "capture/Displays.h"

#include <algorithm>

namespace pelmo {

DisplayBounds AllDisplaysBounds(const std::vector<MonitorEntry>& monitors) {
  DisplayBounds all;  // starts as the point (0, 0)
  for (const MonitorEntry& m : monitors) {
    all.left = std::min(all.left, m.bounds.left);
    all.top = std::min(all.top, m.bounds.top);
    all.right = std::max(all.right, m.bounds.right);
    all.bottom = std::max(all.bottom, m.bounds.bottom);
  }
  return all;
}

std::wstring DisplayText(const std::wstring& devicePath, const std::wstring& description) {
  if (devicePath.empty() && description.empty()) return L"（ディスプレイ未選択）";
  static constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
  std::wstring name = devicePath;
  for (size_t at; (at = name.find(kDevicePrefix)) != std::wstring::npos;) name.erase(at, kDevicePrefix.size());
  return name + L" on " + description;
}

}  // namespace pelmo
