// setting.ini: the profile to select at start and the history of save folders.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace pelmo {

class SystemSettings {
 public:
  static constexpr size_t kHistoryMax = 12;
  static constexpr wchar_t kSection[] = L"SYSTEM";

  SystemSettings();

  void Load();
  // False when setting.ini could not be written.
  bool Save();
  // Moves (or puts) the folder to the front; the oldest falls off past 12 entries.
  void AddSaveDirectory(const std::wstring& folder);
  bool GetSaveDirectory(size_t index, std::wstring& folder) const;
  size_t GetSaveDirectoryCount() const { return history_.size(); }
  // Whether the history changed since the last call.
  bool TakeHistoryChanged();

  const std::wstring& GetLastProfile() const { return lastProfile_; }
  void SetLastProfile(const std::wstring& name) { lastProfile_ = name; }
  const std::wstring& GetFilePath() const { return file_; }

 private:
  std::wstring file_;
  std::wstring lastProfile_;
  std::vector<std::wstring> history_;
  bool historyChanged_ = false;
};

}  // namespace pelmo
