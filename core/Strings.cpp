#include "Strings.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "resource.h"

namespace pelmo {
namespace {

struct Text {
  int id;
  const wchar_t* text;
};

// The same texts as the resource script: the ones the portable settings and file-name code report.
constexpr Text kBuiltIn[] = {
    {IDS_PROFILE_SAVED, L"現在のプロファイルを保存しました。"},
    {IDS_NAME_TOO_LONG, L"プロファイル名が長すぎます。"},
    {IDS_NAME_FORBIDDEN, L"プロファイル名に使用できない文字列が含まれています。"},
    {IDS_NAME_EMPTY, L"プロファイル名が入力されていません。"},
    {IDS_NAME_IN_USE, L"そのプロファイル名は既に使用されています。"},
    {IDS_PROFILE_MISSING, L"選択されたプロファイルが存在しないため削除しました。"},
    {IDS_ASK_SAVE_PROFILE, L"プロファイルが変更されています。現在のプロファイルを保存しますか？"},
    {IDS_ASK_DELETE_PROFILE, L"現在のプロファイルを削除しますか？"},
    {IDS_ASK_OVERWRITE, L"既に同名のファイルが存在します。上書きしますか？"},
    {IDS_NO_SAVE_FOLDER, L"保存フォルダが存在しません。"},
    {IDS_MKDIR_FAILED, L"ディレクトリの作成に失敗しました。"},
    {IDS_BAD_FILE_NAME, L"ファイル名が指定されていないか、使用できない文字列が含まれています。"},
    {IDS_SAVE_FAILED, L"画像ファイルの保存に失敗しました。"},
    {IDS_DESKTOP_WINDOW_NAME, L"スクロールキャプチャ"},
    // The conversion tool's log lines (its engine is portable).
    {IDS_PATH_TOO_LONG, L"パスが長すぎます。"},
    {IDS_FILE_MISSING, L"対象ファイルがファイルが存在しません。"},
    {IDS_FILE_EXISTS, L"同名のファイルが既に存在します"},
    {IDS_NO_FILE_NAME, L"対象ファイルのファイル名が存在しません。"},
    {IDS_CONVERT_BAD_TYPE, L"画像形式の設定が正しくありません。"},
};

}  // namespace

std::wstring LoadResString(int id) {
#ifdef _WIN32
  const wchar_t* res = nullptr;
  // With a zero buffer size LoadStringW gives a read-only pointer into the resource.
  const int n = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&res), 0);
  if (n > 0 && res) return std::wstring(res, static_cast<size_t>(n));
#endif
  for (const auto& t : kBuiltIn) {
    if (t.id == id) return t.text;
  }
  return {};
}

}  // namespace pelmo
