#include "keyinput/KeyNames.h"

#include <array>

namespace pelmo {
namespace {

using NameTable = std::array<const wchar_t*, kKeyNameCount>;

constexpr NameTable BuildNameTable() {
  NameTable t{};
  for (auto& name : t) name = L"?";
  t[0x00] = L"";

  t[0x01] = L"左ﾏｳｽﾎﾞﾀﾝ";
  t[0x02] = L"右ﾏｳｽﾎﾞﾀﾝ";
  t[0x03] = L"Ctrl+Break";
  t[0x04] = L"中ﾏｳｽﾎﾞﾀﾝ";
  t[0x05] = L"ﾏｳｽｻｲﾄﾞﾎﾞﾀﾝ 1";
  t[0x06] = L"ﾏｳｽｻｲﾄﾞﾎﾞﾀﾝ 2";

  t[0x08] = L"BACK SPACE";
  t[0x09] = L"TAB";
  t[0x0C] = L"CLEAR";
  t[0x0D] = L"ENTER";
  t[0x10] = L"SHIFT";
  t[0x11] = L"CTRL";
  t[0x12] = L"ALT";
  t[0x13] = L"PAUSE";
  t[0x14] = L"CAPS LOCK";
  t[0x15] = L"カナ";
  t[0x19] = L"漢字";
  t[0x1B] = L"ESC";
  t[0x1C] = L"変換";
  t[0x1D] = L"無変換";
  t[0x1E] = L"IME accept";
  t[0x1F] = L"IME ModeChange";
  t[0x20] = L"スペース";

  t[0x21] = L"PAGE UP";
  t[0x22] = L"PAGE DOWN";
  t[0x23] = L"END";
  t[0x24] = L"HOME";
  t[0x25] = L"←";
  t[0x26] = L"↑";
  t[0x27] = L"→";
  t[0x28] = L"↓";
  t[0x29] = L"SELECT";
  t[0x2A] = L"PRINT";
  t[0x2B] = L"EXECUTE";
  t[0x2C] = L"PRINT SCREEN";
  t[0x2D] = L"INS";
  t[0x2E] = L"DEL";
  t[0x2F] = L"HELP";

  constexpr const wchar_t* kDigitsKb[] = {L"0 (KB)", L"1 (KB)", L"2 (KB)", L"3 (KB)", L"4 (KB)",
                                          L"5 (KB)", L"6 (KB)", L"7 (KB)", L"8 (KB)", L"9 (KB)"};
  constexpr const wchar_t* kDigitsTn[] = {L"0 (TN)", L"1 (TN)", L"2 (TN)", L"3 (TN)", L"4 (TN)",
                                          L"5 (TN)", L"6 (TN)", L"7 (TN)", L"8 (TN)", L"9 (TN)"};
  for (int i = 0; i < 10; ++i) {
    t[0x30 + i] = kDigitsKb[i];
    t[0x60 + i] = kDigitsTn[i];
  }
  constexpr const wchar_t* kLetters[] = {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I",
                                         L"J", L"K", L"L", L"M", L"N", L"O", L"P", L"Q", L"R",
                                         L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"};
  for (int i = 0; i < 26; ++i) t[0x41 + i] = kLetters[i];

  t[0x5B] = L"左ウィンドウズキー";
  t[0x5C] = L"右ウィンドウズキー";
  t[0x5D] = L"アプリケーションキー";
  t[0x5F] = L"Sleep";

  t[0x6A] = L"* (TN)";
  t[0x6B] = L"+ (TN)";
  t[0x6C] = L", (TN)";
  t[0x6D] = L"- (TN)";
  t[0x6E] = L". (TN)";
  t[0x6F] = L"/ (TN)";

  constexpr const wchar_t* kFunctionKeys[] = {
      L"F1",  L"F2",  L"F3",  L"F4",  L"F5",  L"F6",  L"F7",  L"F8",  L"F9",  L"F10", L"F11", L"F12",
      L"F13", L"F14", L"F15", L"F16", L"F17", L"F18", L"F19", L"F20", L"F21", L"F22", L"F23", L"F24"};
  for (int i = 0; i < 24; ++i) t[0x70 + i] = kFunctionKeys[i];
  t[0x90] = L"NUM LOCK";
  t[0x91] = L"SCROLL LOCK";

  t[0xA0] = L"Shift(左)";
  t[0xA1] = L"Shift(右)";
  t[0xA2] = L"Ctrl(左)";
  t[0xA3] = L"Ctrl(右)";
  t[0xA4] = L"Alt(左)";
  t[0xA5] = L"Alt(右)";

  t[0xA6] = L"戻る";
  t[0xA7] = L"次へ";
  t[0xA8] = L"更新";
  t[0xA9] = L"中止";
  t[0xAA] = L"検索";
  t[0xAB] = L"お気に入り";
  t[0xAC] = L"ホーム";
  t[0xAD] = L"ミュート";
  t[0xAE] = L"ﾎﾞﾘｭｰﾑﾀﾞｳﾝ";
  t[0xAF] = L"ﾎﾞﾘｭｰﾑｱｯﾌﾟ";
  t[0xB0] = L"次のトラック";
  t[0xB1] = L"前のトラック";
  t[0xB2] = L"メディア停止";
  t[0xB3] = L"ﾒﾃﾞｨｱSTOP/START";
  t[0xB4] = L"メール開始";
  t[0xB5] = L"メディア選択";
  t[0xB6] = L"ｱﾌﾟﾘ 1";
  t[0xB7] = L"ｱﾌﾟﾘ 2";

  t[0xB9] = L"";
  t[0xBA] = L":;";
  t[0xBB] = L"+";
  t[0xBC] = L",";
  t[0xBD] = L"-";
  t[0xBE] = L".";
  t[0xBF] = L"/?";
  t[0xC0] = L"^~";
  t[0xDB] = L"[{";
  t[0xDC] = L"\\|";
  t[0xDD] = L"]}";
  t[0xDE] = L"'\"";

  t[0xE1] = L"OEM固有コード";
  t[0xE6] = L"OEM固有コード";
  for (int c = 0xE9; c <= 0xF5; ++c) t[c] = L"OEM固有コード";
  t[0xE5] = L"IME Process";

  t[0xF6] = L"Attn key";
  t[0xF7] = L"CrSel key";
  t[0xF8] = L"ExSel key";
  t[0xF9] = L"Erase EOF key";
  t[0xFA] = L"Play key";
  t[0xFB] = L"Zoom key";
  t[0xFC] = L"Rff use";
  t[0xFD] = L"PA1 Key";
  t[0xFE] = L"Clear Key";
  return t;
}

constexpr NameTable kNames = BuildNameTable();

}  // namespace

const wchar_t* KeyName(int code) {
  if (code < 0 || code >= kKeyNameCount) return L"?";
  return kNames[static_cast<size_t>(code)];
}

std::wstring FormatBindingText(const KeyBinding& binding) {
  std::wstring text;
  bool first = true;  // not text.empty(): code 0xB9's name is empty
  for (int32_t code : binding) {
    if (code == 0) continue;
    if (!first) text += L" & ";
    text += KeyName(code);
    first = false;
  }
  return text;
}

}  // namespace pelmo
