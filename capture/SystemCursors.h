// While a screen cut runs, every system cursor is a cross-hair. The system keeps that change after
// our process is gone, so it is undone on every way out this program can see: the normal end of
// the cut, an unhandled exception, std::terminate, the end of the Windows session, and, for a kill
// that nobody sees, at the next start through a marker file in the temporary folder.
#pragma once

#include <windows.h>

#include <string>

namespace pelmo {

class CrossHairCursors {
 public:
  CrossHairCursors() = default;
  ~CrossHairCursors() { Restore(); }
  CrossHairCursors(const CrossHairCursors&) = delete;
  CrossHairCursors& operator=(const CrossHairCursors&) = delete;

  // Writes the marker, arms the crash handlers and replaces the system cursors by copies of cross.
  void Engage(HCURSOR cross);
  // Puts the system cursors back, disarms the handlers and removes the marker; safe to repeat.
  void Restore();
  bool engaged() const { return engaged_; }

 private:
  bool engaged_ = false;
};

// At start-up: when the marker says the last run ended inside a cut, restore the system cursors.
// True when that was needed.
bool RestoreCursorsAfterInterruptedCut();

// The marker's path (the temporary folder + "pelmo-screencut.marker").
std::wstring InterruptedCutMarkerPath();

// Restores the system cursors now when a cut has replaced them (for WM_ENDSESSION and the like).
void RestoreSystemCursorsIfReplaced();

}  // namespace pelmo
