#include <windows.h>

#include "capture/Displays.h"
#include "framework/Handles.h"
#include "settings/DispProfile.h"

namespace pelmo {
namespace {

std::wstring TrimmedSpaces(const wchar_t* text) {
  std::wstring s(text);
  const size_t begin = s.find_first_not_of(L' ');
  if (begin == std::wstring::npos) return {};
  return s.substr(begin, s.find_last_not_of(L' ') - begin + 1);
}

// The description of a display device, found by its name among all display devices.
std::wstring DeviceDescription(const wchar_t* devicePath) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
    if (lstrcmpiW(device.DeviceName, devicePath) == 0) return device.DeviceString;
    device = DISPLAY_DEVICEW{};
    device.cb = sizeof device;
  }
  return {};
}

// The n-th display device, for a monitor that does not tell its own device.
void DeviceByPosition(DWORD index, MonitorEntry& entry) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (!EnumDisplayDevicesW(nullptr, index, &device, 0)) return;
  entry.devicePath = device.DeviceName;
  entry.description = device.DeviceString;
}

BOOL CALLBACK OnMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto& list = *reinterpret_cast<std::vector<MonitorEntry>*>(data);
  MonitorEntry entry;
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    entry.bounds = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    entry.devicePath = info.szDevice;
    entry.description = DeviceDescription(info.szDevice);
  }
  if (entry.devicePath.empty()) DeviceByPosition(static_cast<DWORD>(list.size()), entry);
  entry.devicePath = TrimmedSpaces(entry.devicePath.c_str());
  entry.description = TrimmedSpaces(entry.description.c_str());
  list.push_back(std::move(entry));
  return TRUE;
}

}  // namespace

std::vector<MonitorEntry> EnumerateMonitors() {
  std::vector<MonitorEntry> list;
  EnumDisplayMonitors(nullptr, nullptr, OnMonitor, reinterpret_cast<LPARAM>(&list));
  return list;
}

std::optional<DisplayBounds> DisplayDeviceRect(const std::wstring& devicePath) {
  // Some systems (Wine) make a device context for any name; a display that no monitor shows now
  // (unplugged since it was chosen) must fail here rather than capture another screen.
  if (!MonitorRectOfDevice(devicePath)) return std::nullopt;
  const fw::UniqueDc dc(CreateDCW(L"DISPLAY", devicePath.c_str(), nullptr, nullptr));
  if (!dc) return std::nullopt;
  return DisplayBounds{0, 0, GetDeviceCaps(dc.get(), HORZRES), GetDeviceCaps(dc.get(), VERTRES)};
}

std::optional<DisplayBounds> MonitorRectOfDevice(const std::wstring& devicePath) {
  if (devicePath.empty()) return std::nullopt;
  for (const MonitorEntry& m : EnumerateMonitors()) {
    if (lstrcmpiW(m.devicePath.c_str(), devicePath.c_str()) == 0) return m.bounds;
  }
  return std::nullopt;
}

void InstallMonitorSource() {
  CDispProfile::SetMonitorSource([](CDispProfile& profile) {
    for (const MonitorEntry& m : EnumerateMonitors()) {
      profile.AddMonitor({m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom}, {m.devicePath, m.description});
    }
  });
}

}  // namespace pelmo
