// The pure rules of the conversion tool: the drop filter, destination names, the log stamp and
// the queue's duplicate and row bookkeeping.
#include <gtest/gtest.h>

#include "convert/ConvertQueue.h"
#include "convert/ConvertRules.h"

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

}  // namespace
}  // namespace pelmo
