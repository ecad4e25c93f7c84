#include <windows.h>
#include <mmsystem.h>

#include "core/Trace.h"
#include "output/EventSound.h"
#include "core/LongPath.h"
#include "core/AppDirectory.h"
#include "settings/SndProfile.h"

namespace pelmo {
namespace {

// The executable's own folder, even where the settings point at another program folder.
std::wstring ExecutableDirectory() {
  const std::wstring& path = GetExecutablePath();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = LongPathAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool PlayEventSound(bool soundOn, bool allSoundsOff, const std::wstring& file,
                    const std::wstring& appDirectory) {
  if (!soundOn || allSoundsOff) return false;
  const std::wstring chosen =
      ChooseSoundFile(file, appDirectory.empty() ? ExecutableDirectory() : appDirectory, IsFile);
  if (chosen.empty()) return false;
  return PlaySoundW(chosen.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT) != FALSE;
}

bool PlayEventSound(const CSndProfile& sounds, CaptureEventId event) {
  if (!IsValidEvent(event)) return false;
  // The trace says which file was asked to play (or why none), for a debug-output viewer.
  const std::wstring prefix = L"sound event=" + std::to_wstring(event) + L" ";
  if (sounds.GetAllSoundOff()) {
    Trace(prefix + L"off (all sounds off)");
    return false;
  }
  if (!sounds.GetSoundOn(event)) {
    Trace(prefix + L"off");
    return false;
  }
  const std::wstring chosen = ChooseSoundFile(sounds.GetSoundFile(event), GetAppDirectory(), IsFile);
  if (chosen.empty()) {
    Trace(prefix + L"none (no file: " + sounds.GetSoundFile(event) + L")");
    return false;
  }
  const bool started = PlaySoundW(chosen.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT) != FALSE;
  Trace(prefix + L"play=" + chosen + (started ? L"" : L" (not started)"));
  return started;
}

void StopEventSound() { PlaySoundW(nullptr, nullptr, 0); }

}  // namespace pelmo
