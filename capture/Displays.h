// Displays: the monitors and their display devices, the rectangle around all of them, and the
// size of one display. The profile's DISPLAY section keeps the list and the chosen display; the
// capture engine takes its rectangles from here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelmo {

struct DisplayBounds {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const DisplayBounds&) const = default;
};

// One monitor: its rectangle in virtual-screen coordinates, its display device path ("\\.\DISPLAY2")
// and the description of the device's adapter, both without surrounding spaces.
struct MonitorEntry {
  DisplayBounds bounds;
  std::wstring devicePath;
  std::wstring description;
};

// The rectangle around every monitor and the point (0, 0), in virtual-screen coordinates.
DisplayBounds AllDisplaysBounds(const std::vector<MonitorEntry>& monitors);

// The text a display shows in the list: "（ディスプレイ未選択）" when both strings are empty, else the
// device path without its "\\.\" followed by " on " and the description ("DISPLAY2 on …").
std::wstring DisplayText(const std::wstring& devicePath, const std::wstring& description);

#ifdef _WIN32
// Every monitor, in the order Windows enumerates them. Each is named by its own display device
// (from the monitor's information, not by position among all display devices, which include
// adapters and devices that show nothing).
std::vector<MonitorEntry> EnumerateMonitors();

// (0, 0, width, height) of a display device, from a device context made for it; nothing when no
// monitor shows that device now or no device context can be made.
std::optional<DisplayBounds> DisplayDeviceRect(const std::wstring& devicePath);

// The rectangle of the monitor shown by a display device, in virtual-screen coordinates; nothing
// when no monitor shows it now.
std::optional<DisplayBounds> MonitorRectOfDevice(const std::wstring& devicePath);

// Makes the profile's DISPLAY section list these monitors (each named by its own device).
void InstallMonitorSource();
#endif

}  // namespace pelmo
