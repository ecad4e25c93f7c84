#include "EventProfile.h"

#include "core/AppDirectory.h"

namespace pelmo {
namespace {
constexpr CaptureEventId kCommonEvents[] = {kEventNextProfile, kEventBackProfile};
}

CEventProfile::CEventProfile() : commonFile_(GetAppDirectory() + kCommonFileName) {}

bool CEventProfile::IsCommonEvent(CaptureEventId event) {
  for (CaptureEventId e : kCommonEvents) {
    if (e == event) return true;
  }
  return false;
}

std::wstring CEventProfile::CommonSection(std::wstring_view section) {
  return kCommonSectionPrefix + std::wstring(section);
}

}  // namespace pelmo
