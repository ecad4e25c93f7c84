// The 17 capture events: the common index of the key bindings, sounds, handlers and texts.
#pragma once

#include <cstdint>

namespace pelmo {

using CaptureEventId = int32_t;

inline constexpr CaptureEventId kEventCount = 17;
inline constexpr int kEventTextBase = 2000;  // string id of event n's display text is 2000 + n

enum CaptureEvent : CaptureEventId {
  kEventDesktop = 0,
  kEventWindow = 1,
  kEventClient = 2,
  kEventAllDisplay = 3,
  kEventDisplay = 4,
  kEventScreenCut = 5,
  kEventScreenCutRect = 6,
  kEventScreenCutTarget = 7,
  kEventAutoCapture = 8,
  kEventOpenSettings = 9,
  kEventCopyToClipboard = 10,
  kEventOpenLastFile = 11,
  kEventOpenLastFolder = 12,
  kEventOpenSaveFolder = 13,
  kEventToggleInputMode = 14,
  kEventNextProfile = 15,
  kEventBackProfile = 16,
};

constexpr bool IsValidEvent(CaptureEventId id) { return id >= 0 && id < kEventCount; }

// The stem of the event's INI keys ("KEY" bindings, "SOUND" settings), and the "%v" event name of
// captures 0..7. Stored profiles depend on these exact pairings (8, 9 and 10 look swapped on
// purpose). Null for an id outside 0..16.
const char* EventKeyName(CaptureEventId id);
const wchar_t* EventKeyNameW(CaptureEventId id);

// String-table id of the event's display text, or 0 for an id outside 0..16.
constexpr int EventTextId(CaptureEventId id) { return IsValidEvent(id) ? kEventTextBase + id : 0; }

}  // namespace pelmo
