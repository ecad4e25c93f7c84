// The platform part of DISPLAY: monitors and display devices.
#include "DispProfile.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmo {

#ifdef _WIN32

namespace {

BOOL CALLBACK OnMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* self = reinterpret_cast<CDispProfile*>(data);
  MONITORINFOEXW info{};
  info.cbSize = sizeof info;
  DisplayRect rect;
  if (GetMonitorInfoW(monitor, &info)) {
    rect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
  }
  // The n-th monitor is paired with the n-th display device.
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  DisplayPair pair;
  if (EnumDisplayDevicesW(nullptr, static_cast<DWORD>(self->GetCount()), &device, 0)) {
    pair = {device.DeviceName, device.DeviceString};
  }
  self->AddMonitor(rect, pair);
  return TRUE;
}

}  // namespace

void CDispProfile::Enumerate() { EnumDisplayMonitors(nullptr, nullptr, OnMonitor, reinterpret_cast<LPARAM>(this)); }

std::optional<DisplayRect> CDispProfile::GetDisplayRect(const std::wstring& device) {
  HDC dc = CreateDCW(L"DISPLAY", device.c_str(), nullptr, nullptr);
  if (!dc) return std::nullopt;
  DisplayRect r{0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
  DeleteDC(dc);
  return r;
}

#else

void CDispProfile::Enumerate() {}

std::optional<DisplayRect> CDispProfile::GetDisplayRect(const std::wstring&) { return std::nullopt; }

#endif

}  // namespace pelmo
