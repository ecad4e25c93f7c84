#include "SystemSettings.h"

#include <algorithm>

#include "core/AppDirectory.h"
#include "IniStore.h"

namespace pelmo {
namespace {

constexpr size_t kLastProfileBuffer = 33;  // the longest valid profile name
constexpr size_t kFolderBuffer = 2048;
constexpr wchar_t kEndMark[] = L"/";

std::wstring HistoryKey(size_t i) { return L"SaveDirectoryLog_" + std::to_wstring(i); }

}  // namespace

SystemSettings::SystemSettings() : file_(GetAppDirectory() + L"setting.ini") {}

void SystemSettings::Load() {
  IniBatch batch;
  lastProfile_ = IniStore::ReadString(file_, kSection, L"LastProfile", L"", kLastProfileBuffer);
  history_.clear();
  for (size_t i = 0; i < kHistoryMax; ++i) {
    std::wstring folder = IniStore::ReadString(file_, kSection, HistoryKey(i), kEndMark, kFolderBuffer);
    if (folder == kEndMark) break;
    // A hand-edited file may repeat a folder or leave one empty; the list shows each once.
    if (folder.empty() || std::find(history_.begin(), history_.end(), folder) != history_.end()) continue;
    history_.push_back(std::move(folder));
    historyChanged_ = true;
  }
}

bool SystemSettings::Save() {
  IniBatch batch;
  IniStore::WriteString(file_, kSection, L"LastProfile", lastProfile_);
  for (size_t i = 0; i < history_.size(); ++i) {
    IniStore::WriteString(file_, kSection, HistoryKey(i), history_[i]);
    historyChanged_ = true;
  }
  return batch.Commit();
}

void SystemSettings::AddSaveDirectory(const std::wstring& folder) {
  history_.erase(std::remove(history_.begin(), history_.end(), folder), history_.end());
  history_.insert(history_.begin(), folder);
  if (history_.size() > kHistoryMax) history_.pop_back();
  historyChanged_ = true;
}

bool SystemSettings::GetSaveDirectory(size_t index, std::wstring& folder) const {
  if (index >= history_.size()) return false;
  folder = history_[index];
  return true;
}

bool SystemSettings::TakeHistoryChanged() {
  bool changed = historyChanged_;
  historyChanged_ = false;
  return changed;
}

}  // namespace pelmo
