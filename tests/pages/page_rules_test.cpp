// The rules behind the settings pages' fields, without windows.
#include <gtest/gtest.h>

#include <set>

#include "keyinput/KeyCodeList.h"
#include "settingsui/PageRules.h"

using namespace pelmo;

namespace {

TEST(PageRules, NumberFieldsKeepOrClampWhatWasTyped) {
  struct Case {
    const wchar_t* text;
    int32_t previous;
    NumberRange range;
    OutOfRange rule;
    int32_t expected;
  };
  const Case cases[] = {
      {L"640", 100, kSizeRange, OutOfRange::kKeepPrevious, 640},
      {L" 640 ", 100, kSizeRange, OutOfRange::kKeepPrevious, 640},
      {L"1,024", 100, kSizeRange, OutOfRange::kKeepPrevious, 1024},
      {L"0", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},          // 0 keeps the previous size
      {L"abc", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},        // letters too
      {L"12ab", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},
      {L"", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},
      {L"-", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},
      {L"2147483647", 100, kSizeRange, OutOfRange::kKeepPrevious, 2147483647},
      {L"2147483648", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},
      {L"99999999999999999999999", 100, kSizeRange, OutOfRange::kKeepPrevious, 100},
      {L"0", 50, kIntervalRange, OutOfRange::kClamp, 1},
      {L"-5", 50, kIntervalRange, OutOfRange::kClamp, 1},
      {L"36001", 50, kIntervalRange, OutOfRange::kClamp, 36000},
      {L"99999", 50, kIntervalRange, OutOfRange::kClamp, 36000},
      {L"x", 50, kIntervalRange, OutOfRange::kClamp, 50},
      {L"36000", 50, kIntervalRange, OutOfRange::kClamp, 36000},
      {L"0", 1, kIncrementRange, OutOfRange::kClamp, 1},
      {L"11", 1, kDigitCountRange, OutOfRange::kClamp, 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberFromFieldText(c.text, c.previous, c.range, c.rule), c.expected) << "text " << testing::PrintToString(std::wstring(c.text));
  }
}

TEST(PageRules, StoredValuesAreShownClampedIntoTheFieldsRange) {
  EXPECT_EQ(ClampToRange(-1, kSizeRange), 1);
  EXPECT_EQ(ClampToRange(0, kIntervalRange), 1);
  EXPECT_EQ(ClampToRange(50000, kIntervalRange), 36000);
  EXPECT_EQ(ClampToRange(int64_t{1} << 40, kStartNumberRange), 2147483647);
  EXPECT_EQ(ClampToRange(16, kWindowNameRange), 16);
}

TEST(PageRules, AChangedIncrementMovesTheNextNumberOnceNumberingHasStarted) {
  struct Case {
    int32_t current, start, oldInc, newInc, expected;
  };
  const Case cases[] = {
      {0, 0, 1, 5, 0},     // not started: stays at the start number
      {7, 7, 1, 5, 7},
      {3, 0, 1, 5, 7},     // 3 + (5 - 1)
      {10, 0, 5, 1, 6},
      {2, 0, 10, 1, 0},    // never below 0
      {2147483000, 0, 1, 32767, 2147483647},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NextNumberAfterIncrementChange(c.current, c.start, c.oldInc, c.newInc), c.expected);
  }
  EXPECT_EQ(NextNumberAfterReset(5), 5);
  EXPECT_EQ(NextNumberAfterReset(-3), 0);
}

TEST(PageRules, PngDepthIsShownByThePrefixSearchFromEntryOne) {
  const std::vector<std::wstring> entries{L"32ビットカラー", L"24ビットカラー", L"16ビットカラー", L"8ビットカラー"};
  EXPECT_EQ(FindPrefixEntry(entries, L"32", 0), 0);  // found after wrapping round
  EXPECT_EQ(FindPrefixEntry(entries, L"24", 0), 1);
  EXPECT_EQ(FindPrefixEntry(entries, L"16", 0), 2);
  EXPECT_EQ(FindPrefixEntry(entries, L"8", 0), 3);
  EXPECT_EQ(FindPrefixEntry(entries, L"12", 0), -1);
  EXPECT_EQ(FindPrefixEntry(entries, L"3", 0), 0);   // a prefix of an entry's number still finds it
  EXPECT_EQ(FindPrefixEntry(entries, L"-1", 0), -1);
  EXPECT_EQ(FindPrefixEntry({L"a1", L"A2"}, L"a", 0), 1);  // letter case ignored, search starts after 0
  EXPECT_EQ(FindPrefixEntry({}, L"8", 0), -1);
}

TEST(PageRules, TextsOfTheGifAndSoundPages) {
  EXPECT_EQ(ColorComponentsText(1, 22, 255), L"R: 1     G: 22     B: 255");
  EXPECT_EQ(FileNamePart(L"C:\\a\\b.wav"), L"b.wav");
  EXPECT_EQ(FileNamePart(L"b.wav"), L"b.wav");
  EXPECT_EQ(FileNamePart(L"dir\\"), L"");
  EXPECT_EQ(ColumnWidths(425, 25, {0.6, 0.4}), (std::vector<int>{240, 160}));
  EXPECT_EQ(ColumnWidths(126, 25, {0.6, 0.15, 0.25}), (std::vector<int>{60, 15, 25}));
}

// The key field, fed as the key input source feeds it.
struct KeyFieldCase {
  const char* what;
  std::vector<int32_t> held;    // keys down, in the order pressed
  std::vector<int32_t> expect;  // the codes afterwards
  bool cursorInside = true;
};

TEST(KeyCodeList, RecordsTheKeysHeldTogether) {
  const KeyFieldCase cases[] = {
      {"Right Alt then Print Screen, sorted", {0xA5, 0x2C}, {0x2C, 0xA5}},
      {"a fourth key is ignored", {0x41, 0x42, 0x43, 0x44}, {0x41, 0x42, 0x43}},
      {"the left button never counts", {0x01, 0x41}, {0x41}},
      {"right button inside the field", {0x02}, {0x02}},
      {"right button outside the field", {0x02, 0x05}, {}, false},
      {"Tab, Enter and Escape are keys like others", {0x09, 0x0D, 0x1B}, {0x09, 0x0D, 0x1B}},
      {"the same key twice is one", {0x41, 0x41}, {0x41}},
      {"Ctrl+Break passes outside", {0x03}, {0x03}, false},
  };
  for (const KeyFieldCase& c : cases) {
    KeyCodeList list(3);
    std::set<int32_t> down;
    for (int32_t k : c.held) {
      down.insert(k);
      list.OnKeyDown(k, [&](int32_t code) { return down.count(code) != 0; }, c.cursorInside);
    }
    std::vector<int32_t> got;
    for (size_t i = 0; i < list.size(); ++i) got.push_back(list.GetCode(i));
    EXPECT_EQ(got, c.expect) << c.what;
  }
}

TEST(KeyCodeList, ReleasedKeysAreDroppedBeforeTheNextOne) {
  KeyCodeList list(3);
  std::set<int32_t> down{0xA3, 0x27};
  auto held = [&](int32_t code) { return down.count(code) != 0; };
  list.OnKeyDown(0xA3, held, true);
  list.OnKeyDown(0x27, held, true);
  EXPECT_EQ(list.Text(), L"→ & Ctrl(右)");
  down.clear();
  down.insert(0x41);
  list.OnKeyDown(0x41, held, true);
  EXPECT_EQ(list.Text(), L"A");
  EXPECT_EQ(list.GetCode(1), 0);
  // A full list whose keys are all still down takes nothing more.
  KeyCodeList full(3);
  std::set<int32_t> all{1, 0x41, 0x42, 0x43, 0x44};
  for (int32_t k : {0x41, 0x42, 0x43}) full.OnKeyDown(k, [&](int32_t c) { return all.count(c) != 0; }, true);
  EXPECT_FALSE(full.OnKeyDown(0x44, [&](int32_t c) { return all.count(c) != 0; }, true));
  // Releasing one of the three frees a place.
  all.erase(0x42);
  EXPECT_TRUE(full.OnKeyDown(0x44, [&](int32_t c) { return all.count(c) != 0; }, true));
  EXPECT_EQ(full.GetCode(0), 0x41);
  EXPECT_EQ(full.GetCode(1), 0x43);
  EXPECT_EQ(full.GetCode(2), 0x44);
}

TEST(KeyCodeList, AddCodeAndThePrompt) {
  KeyCodeList zero(0);  // 0 becomes 1
  EXPECT_EQ(zero.maximum(), 1);
  zero.AddCode(0x41);
  zero.AddCode(0x42);
  EXPECT_EQ(zero.size(), 1u);
  KeyCodeList list(3);
  EXPECT_EQ(list.Text(), kKeyFieldPrompt);
  list.AddCode(0);
  EXPECT_EQ(list.size(), 0u);
  list.AddCode(0xA5);
  list.AddCode(0x2C);
  EXPECT_EQ(list.Text(), L"PRINT SCREEN & Alt(右)");
  list.AddCode(300);  // a hand-edited code beyond the name table
  EXPECT_EQ(list.Text(), L"PRINT SCREEN & Alt(右) & ?");
  list.Clear();
  EXPECT_EQ(list.Text(), kKeyFieldPrompt);
}

}  // namespace
