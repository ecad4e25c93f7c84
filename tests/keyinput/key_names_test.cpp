#include <gtest/gtest.h>

#include <string>

#include "keyinput/KeyNames.h"

namespace pelmo {
namespace {

TEST(KeyNames, NamedCodesFollowTheTable) {
  struct Row {
    int code;
    const wchar_t* name;
  };
  const Row rows[] = {
      {0x00, L""},           {0x01, L"左ﾏｳｽﾎﾞﾀﾝ"},     {0x02, L"右ﾏｳｽﾎﾞﾀﾝ"},
      {0x03, L"Ctrl+Break"}, {0x04, L"中ﾏｳｽﾎﾞﾀﾝ"},     {0x05, L"ﾏｳｽｻｲﾄﾞﾎﾞﾀﾝ 1"},
      {0x06, L"ﾏｳｽｻｲﾄﾞﾎﾞﾀﾝ 2"}, {0x07, L"?"},         {0x08, L"BACK SPACE"},
      {0x0D, L"ENTER"},      {0x10, L"SHIFT"},          {0x11, L"CTRL"},
      {0x12, L"ALT"},        {0x15, L"カナ"},           {0x19, L"漢字"},
      {0x1C, L"変換"},       {0x1D, L"無変換"},         {0x1F, L"IME ModeChange"},
      {0x20, L"スペース"},   {0x25, L"←"},             {0x26, L"↑"},
      {0x27, L"→"},          {0x28, L"↓"},             {0x2C, L"PRINT SCREEN"},
      {0x2F, L"HELP"},       {0x30, L"0 (KB)"},         {0x39, L"9 (KB)"},
      {0x3A, L"?"},          {0x40, L"?"},              {0x41, L"A"},
      {0x5A, L"Z"},          {0x5B, L"左ウィンドウズキー"}, {0x5C, L"右ウィンドウズキー"},
      {0x5D, L"アプリケーションキー"}, {0x5E, L"?"},      {0x5F, L"Sleep"},
      {0x60, L"0 (TN)"},     {0x69, L"9 (TN)"},         {0x6A, L"* (TN)"},
      {0x6C, L", (TN)"},     {0x6F, L"/ (TN)"},         {0x70, L"F1"},
      {0x7B, L"F12"},        {0x87, L"F24"},            {0x88, L"?"},
      {0x90, L"NUM LOCK"},   {0x91, L"SCROLL LOCK"},    {0x92, L"?"},
      {0xA0, L"Shift(左)"},  {0xA1, L"Shift(右)"},      {0xA2, L"Ctrl(左)"},
      {0xA3, L"Ctrl(右)"},   {0xA4, L"Alt(左)"},        {0xA5, L"Alt(右)"},
      {0xAB, L"お気に入り"}, {0xAE, L"ﾎﾞﾘｭｰﾑﾀﾞｳﾝ"},     {0xB3, L"ﾒﾃﾞｨｱSTOP/START"},
      {0xB7, L"ｱﾌﾟﾘ 2"},     {0xB8, L"?"},              {0xB9, L""},
      {0xBA, L":;"},         {0xC0, L"^~"},             {0xC1, L"?"},
      {0xDC, L"\\|"},        {0xDE, L"'\""},            {0xDF, L"?"},
      {0xE1, L"OEM固有コード"}, {0xE5, L"IME Process"},  {0xE6, L"OEM固有コード"},
      {0xE7, L"?"},          {0xE9, L"OEM固有コード"},  {0xF5, L"OEM固有コード"},
      {0xF6, L"Attn key"},   {0xFC, L"Rff use"},        {0xFE, L"Clear Key"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(std::wstring(KeyName(row.code)), row.name) << "code 0x" << std::hex << row.code;
  }
}

TEST(KeyNames, EveryNameFitsTheFixedWidthAndUnnamedCodesShowAQuestionMark) {
  for (int code = 0; code < kKeyNameCount; ++code) {
    ASSERT_NE(KeyName(code), nullptr);
    EXPECT_LE(std::wstring(KeyName(code)).size(), 31u) << code;
  }
  for (int code : {255, 256, -1, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(std::wstring(KeyName(code)), L"?") << code;
  }
}

TEST(KeyNames, BindingTextJoinsTheNonEmptySlots) {
  struct Row {
    KeyBinding binding;
    const wchar_t* text;
  };
  const Row rows[] = {
      {{44, 0, 0}, L"PRINT SCREEN"},
      {{165, 44, 0}, L"Alt(右) & PRINT SCREEN"},
      {{163, 0, 39}, L"Ctrl(右) & →"},
      {{0, 0, 44}, L"PRINT SCREEN"},  // only slot 2 set reads like only slot 0
      {{0, 0, 0}, L""},
      {{65, 65, 0}, L"A & A"},
      {{162, 160, 65}, L"Ctrl(左) & Shift(左) & A"},
      {{0xB9, 65, 0}, L" & A"},  // an empty name still takes its place
      {{300, -5, 255}, L"? & ? & ?"},  // hand-edited values outside the table
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatBindingText(row.binding), row.text)
        << row.binding[0] << "," << row.binding[1] << "," << row.binding[2];
  }
}

}  // namespace
}  // namespace pelmo
