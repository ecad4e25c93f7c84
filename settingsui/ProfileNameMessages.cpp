#include "ProfileNameMessages.h"

#include "core/Strings.h"
#include "core/resource.h"
#include "framework/App.h"
#include "settings/Profile.h"

namespace pelmo {

int ProfileNameMessage(int result) {
  switch (result) {
    case CProfile::kNameInUse: return IDS_NAME_IN_USE;
    case CProfile::kNameForbidden: return IDS_NAME_FORBIDDEN;
    case CProfile::kNameTooLong: return IDS_NAME_TOO_LONG;
    default: return IDS_PROFILE_WRITE_FAILED;
  }
}

void ShowNameMessage(HWND dialog, int stringId) {
  const fw::App* app = fw::App::Current();
  MessageBoxW(dialog, LoadResString(stringId).c_str(), app ? app->appName().c_str() : nullptr,
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace pelmo
