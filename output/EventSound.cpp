#include "output/EventSound.h"

namespace pelmo {

bool IsRelativePath(const std::wstring& path) {
  if (path.empty()) return true;
  if (path[0] == L'\\' || path[0] == L'/') return false;
  return !(path.size() >= 2 && path[1] == L':');
}

std::wstring ChooseSoundFile(const std::wstring& file, const std::wstring& appDirectory,
                             const std::function<bool(const std::wstring&)>& fileExists) {
  if (file.empty()) return {};
  if (fileExists(file)) return file;
  if (IsRelativePath(file) && !appDirectory.empty()) {
    std::wstring inAppFolder = appDirectory;
    if (inAppFolder.back() != L'\\') inAppFolder += L'\\';
    inAppFolder += file;
    if (fileExists(inAppFolder)) return inAppFolder;
  }
  return {};
}

}  // namespace pelmo
