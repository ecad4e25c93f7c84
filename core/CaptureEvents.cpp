#include "CaptureEvents.h"

namespace pelmo {
namespace {

constexpr const char* kKeyNames[kEventCount] = {
    "ScreenShot_Desktop", "ScreenShot_Window", "ScreenShot_Client", "ScreenShot_AllDisplay",
    "ScreenShot_Display", "ScreenCut",         "ScreenCutRect",     "ScreenCutTarget",
    "SetClipboard",       "ScreenShot_Auto",   "OpenSetting",       "OpenLastSaveFile",
    "OpenLastSaveDirectory", "OpenDirectory",  "ChangeInputMode",   "NextProfile",
    "BackProfile",
};

constexpr const wchar_t* kKeyNamesW[kEventCount] = {
    L"ScreenShot_Desktop", L"ScreenShot_Window", L"ScreenShot_Client", L"ScreenShot_AllDisplay",
    L"ScreenShot_Display", L"ScreenCut",         L"ScreenCutRect",     L"ScreenCutTarget",
    L"SetClipboard",       L"ScreenShot_Auto",   L"OpenSetting",       L"OpenLastSaveFile",
    L"OpenLastSaveDirectory", L"OpenDirectory",  L"ChangeInputMode",   L"NextProfile",
    L"BackProfile",
};

}  // namespace

const char* EventKeyName(CaptureEventId id) { return IsValidEvent(id) ? kKeyNames[id] : nullptr; }
const wchar_t* EventKeyNameW(CaptureEventId id) { return IsValidEvent(id) ? kKeyNamesW[id] : nullptr; }

}  // namespace pelmo
