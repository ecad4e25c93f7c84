#include "TemplateFile.h"

#include <utility>
#include <vector>

#include "core/AppDirectory.h"
#include "IniStore.h"

namespace pelmo {
namespace {

struct Lists {
  bool sizesLoaded = false;
  bool soundsLoaded = false;
  std::vector<std::wstring> sizeNames;
  std::vector<std::pair<int32_t, int32_t>> sizes;
  std::vector<std::wstring> soundPaths;
};

Lists& Program() {
  static Lists lists;
  return lists;
}

std::wstring FilePath() { return GetAppDirectory() + L"template.ini"; }

void LoadSizes(Lists& l) {
  if (l.sizesLoaded) return;
  const std::wstring file = FilePath();
  IniBatch batch;
  for (size_t i = 0;; ++i) {
    const std::wstring n = std::to_wstring(i);
    std::wstring name = IniStore::ReadString(file, L"SIZE", L"String_" + n, L"", TemplateFile::kNameBuffer);
    if (name.empty()) break;
    l.sizeNames.push_back(std::move(name));
    l.sizes.emplace_back(IniStore::ReadInt(file, L"SIZE", L"sizeX_" + n, 0),
                         IniStore::ReadInt(file, L"SIZE", L"sizeY_" + n, 0));
  }
  l.sizesLoaded = true;
}

void LoadSounds(Lists& l) {
  if (l.soundsLoaded) return;
  const std::wstring file = FilePath();
  IniBatch batch;
  for (size_t i = 0;; ++i) {
    std::wstring path =
        IniStore::ReadString(file, L"SOUND", L"Path_" + std::to_wstring(i), L"", TemplateFile::kPathBuffer);
    if (path.empty()) break;
    l.soundPaths.push_back(std::move(path));
  }
  l.soundsLoaded = true;
}

}  // namespace

bool TemplateFile::GetSizeTemplateName(size_t index, std::wstring& name) {
  Lists& l = Program();
  LoadSizes(l);
  if (index >= l.sizeNames.size()) return false;
  name = l.sizeNames[index];
  return true;
}

bool TemplateFile::GetSizeTemplateSize(size_t index, int32_t& width, int32_t& height) {
  Lists& l = Program();
  LoadSizes(l);
  if (index >= l.sizes.size()) return false;
  width = l.sizes[index].first;
  height = l.sizes[index].second;
  return true;
}

bool TemplateFile::GetSoundTemplatePath(size_t index, std::wstring& path) {
  Lists& l = Program();
  LoadSounds(l);
  if (index >= l.soundPaths.size()) return false;
  path = l.soundPaths[index];
  return true;
}

void TemplateFile::ResetForTesting() { Program() = Lists{}; }

}  // namespace pelmo
