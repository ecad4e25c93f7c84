#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "output/EventSound.h"
#include "core/LongPath.h"
#include "core/AppDirectory.h"
#include "settings/SndProfile.h"

namespace pelmo {
namespace {

std::wstring ExecutableDirectory() {
  std::vector<wchar_t> buffer(2048);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  std::wstring path(buffer.data());
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
  return PlayEventSound(sounds.GetSoundOn(event) != 0, sounds.GetAllSoundOff() != 0,
                        sounds.GetSoundFile(event), GetAppDirectory());
}

void StopEventSound() { PlaySoundW(nullptr, nullptr, 0); }

}  // namespace pelmo
