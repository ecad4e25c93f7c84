// String-table ids the settings use, and their texts (the resource script holds the same texts;
// the copies here keep messages readable when a module has no string table).
#pragma once

#include <string>

namespace pelmo {

inline constexpr int kIdsProfileSaved = 50;        // "現在のプロファイルを保存しました。"
inline constexpr int kIdsNameTooLong = 100;        // "プロファイル名が長すぎます。"
inline constexpr int kIdsNameForbidden = 102;      // "プロファイル名に使用できない文字列が含まれています。"
inline constexpr int kIdsNameEmpty = 103;          // "プロファイル名が入力されていません。"
inline constexpr int kIdsNameInUse = 104;          // "そのプロファイル名は既に使用されています。"
inline constexpr int kIdsProfileMissing = 108;     // "選択されたプロファイルが存在しないため削除しました。"
inline constexpr int kIdsAskSaveProfile = 150;     // "プロファイルが変更されています。現在のプロファイルを保存しますか？"
inline constexpr int kIdsAskDeleteProfile = 151;   // "現在のプロファイルを削除しますか？"
inline constexpr int kIdsAskOverwrite = 152;       // "既に同名のファイルが存在します。上書きしますか？"

// The text of one of the ids above: from the program's string table when it has the entry,
// else the built-in copy.
std::wstring LoadSettingsString(int id);

}  // namespace pelmo
