// Event sounds: which WAV file an event plays, and playing it.
#pragma once

#include <functional>
#include <string>

#include "core/CaptureEvents.h"

namespace pelmo {

class CSndProfile;

// The file to play for a stored sound path, or empty when there is none: the path itself when a
// file exists there; otherwise, for a relative path, the same path below appDirectory (which ends
// in a backslash). The second look matters for the default "Sounds\クラシック カメラ.wav": the
// current folder is not the program's when PELMO starts from a shortcut or after a file dialog.
std::wstring ChooseSoundFile(const std::wstring& file, const std::wstring& appDirectory,
                             const std::function<bool(const std::wstring&)>& fileExists);

// True when path does not name a place of its own: no drive, no leading backslash.
bool IsRelativePath(const std::wstring& path);

#ifdef _WIN32
// Plays file asynchronously (cutting off a sound still playing) unless the event's sound is off
// or all sounds are off. A missing or broken file plays nothing, not the system's default sound.
// appDirectory empty means the executable's folder. True when a sound was started.
bool PlayEventSound(bool soundOn, bool allSoundsOff, const std::wstring& file,
                    const std::wstring& appDirectory = L"");

// The event's sound as the SOUND section of the current profile says (its switch, the all-off
// switch and its file, looked for beside the program too). True when a sound was started.
bool PlayEventSound(const CSndProfile& sounds, CaptureEventId event);

// Stops any sound that is playing.
void StopEventSound();
#endif

}  // namespace pelmo
