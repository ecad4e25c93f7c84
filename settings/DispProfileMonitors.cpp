// The platform part of DISPLAY: monitors and display devices.
#include "DispProfile.h"

#include "capture/Displays.h"


namespace pelmo {

#ifdef _WIN32

// Each monitor is named by its own display device: pairing the n-th monitor with the n-th entry of
// all display devices mislabels displays when adapters without a monitor come first.
void CDispProfile::Enumerate() {
  for (const MonitorEntry& m : EnumerateMonitors()) {
    AddMonitor({m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom}, {m.devicePath, m.description});
  }
}

// Nothing when no monitor shows the device now (a device context alone is no proof of that).
std::optional<DisplayRect> CDispProfile::GetDisplayRect(const std::wstring& device) {
  const auto r = DisplayDeviceRect(device);
  if (!r) return std::nullopt;
  return DisplayRect{r->left, r->top, r->right, r->bottom};
}

#else

void CDispProfile::Enumerate() {}

std::optional<DisplayRect> CDispProfile::GetDisplayRect(const std::wstring&) { return std::nullopt; }

#endif

}  // namespace pelmo
