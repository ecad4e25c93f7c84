#include "SettingsStrings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace pelmo {
namespace {

struct Text {
  int id;
  const wchar_t* text;
};

constexpr Text kTexts[] = {
    {kIdsProfileSaved, L"現在のプロファイルを保存しました。"},
    {kIdsNameTooLong, L"プロファイル名が長すぎます。"},
    {kIdsNameForbidden, L"プロファイル名に使用できない文字列が含まれています。"},
    {kIdsNameEmpty, L"プロファイル名が入力されていません。"},
    {kIdsNameInUse, L"そのプロファイル名は既に使用されています。"},
    {kIdsProfileMissing, L"選択されたプロファイルが存在しないため削除しました。"},
    {kIdsAskSaveProfile, L"プロファイルが変更されています。現在のプロファイルを保存しますか？"},
    {kIdsAskDeleteProfile, L"現在のプロファイルを削除しますか？"},
    {kIdsAskOverwrite, L"既に同名のファイルが存在します。上書きしますか？"},
};

}  // namespace

std::wstring LoadSettingsString(int id) {
#ifdef _WIN32
  const wchar_t* res = nullptr;
  int n = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&res), 0);
  if (n > 0 && res) return std::wstring(res, static_cast<size_t>(n));
#endif
  for (const auto& t : kTexts) {
    if (t.id == id) return t.text;
  }
  return {};
}

}  // namespace pelmo
