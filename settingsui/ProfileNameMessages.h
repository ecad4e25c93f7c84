// The messages of the profile name dialogs: a refused name or a failed write is shown in a box
// owned by the dialog, which stays open for a correction.
#pragma once

#include <windows.h>

namespace pelmo {

// The string for a result of CreateProfile/RenameProfile other than success.
int ProfileNameMessage(int result);
void ShowNameMessage(HWND dialog, int stringId);

}  // namespace pelmo
