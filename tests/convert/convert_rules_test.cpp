// The pure rules of the conversion tool: the drop filter, destination names, the log stamp and
// the queue's duplicate and row bookkeeping.
#include <gtest/gtest.h>

#include "convert/ConvertQueue.h"
#include "convert/ConvertRules.h"
#include "convert/DropList.h"

namespace pelmo {
namespace {

TEST(ConvertRules, DropFilterTakesTheFourExtensionsInAnyCase) {
  struct Case {
    const wchar_t* path;
    bool accepted;
  } cases[] = {
      {L"C:\\in\\one.PNG", true},         {L"C:\\in\\two.jpg", true},
      {L"C:\\in\\three.jpeg", false},     {L"C:\\in\\four.png.bak", false},
      {L"C:\\in\\five", false},           {L"C:\\in\\x.png", true},  // a folder passes too
      {L"C:\\in.png\\five", false},       // the dot of a folder name does not count
      {L"C:\\in\\mixed.GiF", true},       {L"C:\\in\\.bmp", true},
      {L"C:\\in\\trailing.", false},      {L"", false},
      {L"C:\\in\\wide.ｐｎｇ", false},     // full-width letters are not the extension
  };
  for (const Case& c : cases) EXPECT_EQ(AcceptsDroppedFile(c.path), c.accepted) << std::wstring(c.path).size();
}

TEST(ConvertRules, DestinationNameCutsTheLastExtensionAndAddsTheTypes) {
  struct Case {
    const wchar_t* source;
    int type;
    const wchar_t* name;  // null: no destination
  } cases[] = {
      {L"C:\\in\\a.b.png", 1, L"a.b.jpg"},
      {L"photo.JPG", 1, L"photo.jpg"},
      {L"C:\\in\\noext", 3, L"noext.png"},
      {L"C:\\in\\pic.gif", 0, L"pic.bmp"},
      {L"C:\\in\\pic.gif", 2, L"pic.gif"},
      {L"C:\\in\\", 1, nullptr},  // no file-name part
      {L"C:\\in\\pic.png", 4, nullptr},
      {L"C:\\in\\pic.png", -1, nullptr},
      {L"C:\\in\\pic.png", 0x7fffffff, nullptr},
  };
  for (const Case& c : cases) {
    const std::optional<std::wstring> name = DestinationFileName(c.source, c.type);
    if (c.name == nullptr) {
      EXPECT_FALSE(name.has_value()) << c.type;
    } else {
      ASSERT_TRUE(name.has_value()) << c.type;
      EXPECT_EQ(*name, c.name);
    }
  }
  EXPECT_EQ(FileNamePart(L"no-backslash.png"), L"no-backslash.png");
  EXPECT_EQ(ExtensionForImageType(3), std::wstring(L"png"));
  EXPECT_EQ(ExtensionForImageType(4), nullptr);
}

TEST(ConvertRules, LogStampHasNoPadding) {
  EXPECT_EQ(LogStamp(2024, 3, 7, 9, 5, 2), L"2024-3-7 (9:5:2) ");
  EXPECT_EQ(LogStamp(2026, 12, 31, 23, 59, 59), L"2026-12-31 (23:59:59) ");
}

TEST(ConvertQueue, ExactDuplicatesAreRefusedAndRowsKept) {
  ConvertQueue q;
  EXPECT_TRUE(q.Add(L"C:\\a.png", 0));
  EXPECT_FALSE(q.Add(L"C:\\a.png", 1));
  EXPECT_TRUE(q.Add(L"C:\\A.png", 1));  // another letter case is another entry
  EXPECT_TRUE(q.Add(L"C:\\b.png", 2));
  ASSERT_EQ(q.Count(), 3u);
  q.Pop();
  EXPECT_EQ(q.Head().path, L"C:\\A.png");
  EXPECT_EQ(q.Head().row, 1);
  EXPECT_TRUE(q.Add(L"C:\\a.png", 3));  // no longer queued, so it may come again
  q.Clear();
  EXPECT_TRUE(q.Empty());
  q.Pop();  // on an empty queue: nothing
  EXPECT_TRUE(q.Add(L"C:\\b.png", 0));
}

TEST(ConvertQueue, ManyFilesStayFast) {
  ConvertQueue q;
  for (int i = 0; i < 70000; ++i) ASSERT_TRUE(q.Add(L"C:\\in\\f" + std::to_wstring(i) + L".png", i));
  EXPECT_FALSE(q.Add(L"C:\\in\\f69999.png", 70000));
  EXPECT_EQ(q.Count(), 70000u);
}

// A drop block as the shell lays it out: header, then UTF-16 names, each ending in a zero.
std::vector<uint8_t> DropBlock(const std::vector<std::u16string>& names, uint32_t wide = 1, bool endMark = true) {
  std::vector<uint8_t> b(20, 0);
  b[0] = 20;
  b[16] = static_cast<uint8_t>(wide);
  auto put = [&](char16_t c) {
    b.push_back(static_cast<uint8_t>(c & 0xFF));
    b.push_back(static_cast<uint8_t>(c >> 8));
  };
  for (const std::u16string& n : names) {
    for (char16_t c : n) put(c);
    put(0);
  }
  if (endMark) put(0);
  return b;
}

TEST(DropList, ReadsEveryNameInOnePass) {
  const std::vector<uint8_t> block = DropBlock({u"C:\\in\\a.png", u"C:\\写真\\b.JPG"});
  const auto names = ParseWideDropList(block.data(), block.size());
  ASSERT_TRUE(names.has_value());
  ASSERT_EQ(names->size(), 2u);
  EXPECT_EQ((*names)[0], L"C:\\in\\a.png");
  EXPECT_EQ((*names)[1], L"C:\\写真\\b.JPG");

  std::vector<std::u16string> many;
  for (int i = 0; i < 70000; ++i) many.push_back(u"C:\\in\\f" + std::u16string(1, u'a' + i % 26) + u".png");
  const std::vector<uint8_t> big = DropBlock(many);
  EXPECT_EQ(ParseWideDropList(big.data(), big.size())->size(), 70000u);
}

TEST(DropList, RefusesNarrowAndShortBlocksAndStopsAtTheEnd) {
  const std::vector<uint8_t> narrow = DropBlock({u"a.png"}, 0);
  EXPECT_FALSE(ParseWideDropList(narrow.data(), narrow.size()).has_value());
  EXPECT_FALSE(ParseWideDropList(narrow.data(), 10).has_value());
  EXPECT_FALSE(ParseWideDropList(nullptr, 100).has_value());
  // No end mark and a name cut by the end of the block: the whole names only.
  std::vector<uint8_t> cut = DropBlock({u"a.png", u"b.png"}, 1, false);
  cut.resize(cut.size() - 4);
  const auto names = ParseWideDropList(cut.data(), cut.size());
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(*names, std::vector<std::wstring>{L"a.png"});
  // An offset beyond the block gives no names.
  std::vector<uint8_t> far = DropBlock({u"a.png"});
  far[1] = 0x10;
  EXPECT_TRUE(ParseWideDropList(far.data(), far.size())->empty());
}

}  // namespace
}  // namespace pelmo
