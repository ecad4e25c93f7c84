#include <gtest/gtest.h>

#include <string>

#include "output/FileNameTemplate.h"

using namespace pelmo;

namespace {

PlaceholderValues Values() {
  PlaceholderValues v;
  v.time = {2007, 1, 2, 3, 4, 5};
  v.currentNumber = 7;
  v.digitCount = 3;
  v.windowName = L"Notepad";
  v.eventKeyName = L"ScreenShot_Desktop";
  v.profileName = L"Game";
  return v;
}

struct ExpandCase {
  const wchar_t* text;
  const wchar_t* expected;
  int flags;
};

}  // namespace

TEST(ExpandPlaceholders, EveryFieldAndTheTextAroundIt) {
  const ExpandCase cases[] = {
      {L"%Y", L"07", 0},
      {L"%y", L"2007", 0},
      {L"%M", L"01", 0},
      {L"%m", L"1", 0},
      {L"%D", L"02", 0},
      {L"%d", L"2", 0},
      {L"%H", L"03", 0},
      {L"%h", L"3", 0},
      {L"%I", L"04", 0},
      {L"%i", L"4", 0},
      {L"%S", L"05", 0},
      {L"%s", L"5", 0},
      {L"%r", L"007", kRunningNumberUsed},
      {L"%w", L"Notepad", 0},
      {L"%v", L"ScreenShot_Desktop", 0},
      {L"%p", L"Game", 0},
      {L"%y-%M-%D %H.%I.%S", L"2007-01-02 03.04.05", 0},
      {L"a%rb%rc", L"a007b007c", kRunningNumberUsed},  // one number for every "%r"
      {L"%x%q%", L"%x%q%", 0},                           // unknown keys and a lone "%" stay
      {L"%%Y", L"%07", 0},
      {L"100%", L"100%", 0},
      {L"%P%R%W%V", L"%P%R%W%V", 0},  // case-sensitive
      {L"no placeholders", L"no placeholders", 0},
      {L"", L"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "template " << testing::PrintToString(std::wstring(c.text)));
    std::wstring text = c.text;
    EXPECT_EQ(ExpandPlaceholders(text, Values()), c.flags);
    EXPECT_EQ(text, c.expected);
  }
}

TEST(ExpandPlaceholders, LateAndLateNightDates) {
  PlaceholderValues v = Values();
  v.time = {2026, 12, 31, 23, 59, 58};
  std::wstring text = L"%Y%M%D%H%I%S|%y%m%d%h%i%s";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, L"261231235958|20261231235958");

  v.time = {5, 1, 1, 0, 0, 0};  // a year below 10 still gives two characters
  text = L"%Y %y %h";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, L"05 5 0");
}

TEST(ExpandPlaceholders, DigitCountZeroLeavesTheNumberAsTyped) {
  PlaceholderValues v = Values();
  v.digitCount = 0;
  std::wstring text = L"capture%r";
  EXPECT_EQ(ExpandPlaceholders(text, v), 0);
  EXPECT_EQ(text, L"capture%r");
}

TEST(ExpandPlaceholders, InsertedTextIsNotExpandedAgain) {
  PlaceholderValues v = Values();
  v.windowName = L"50%volume %p %Y";
  std::wstring text = L"%w";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, L"50%volume %p %Y");

  v.windowName = L"100%";  // a title ending in "%" does not join the text after it
  text = L"%wp";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, L"100%p");

  v.profileName = L"a%r";
  text = L"%p";
  EXPECT_EQ(ExpandPlaceholders(text, v), 0);
  EXPECT_EQ(text, L"a%r");
}

TEST(ExpandPlaceholders, ResultIsCutTo250WithoutSplittingASurrogatePair) {
  PlaceholderValues v = Values();
  std::wstring text(300, L'a');
  text += L"%p";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, std::wstring(250, L'a'));

  std::wstring untouched(300, L'b');  // no "%": left exactly as it is
  EXPECT_EQ(ExpandPlaceholders(untouched, v), 0);
  EXPECT_EQ(untouched.size(), 300u);

  v.profileName = L"\xD83D\xDE00";  // U+1F600 as UTF-16, straddling the limit
  text = std::wstring(249, L'a') + L"%p";
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, std::wstring(249, L'a'));

  text = std::wstring(248, L'a') + L"%p";  // fits exactly
  ExpandPlaceholders(text, v);
  EXPECT_EQ(text, std::wstring(248, L'a') + L"\xD83D\xDE00");
}

TEST(FormatRunningNumber, ZeroFillNeverCutsDigits) {
  struct Case {
    int32_t number;
    int32_t digits;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {0, 1, L"0"},
      {1, 3, L"001"},
      {1234, 2, L"1234"},
      {1234, 4, L"1234"},
      {42, 10, L"0000000042"},
      {2147483647, 10, L"2147483647"},
      {2147483647, 1, L"2147483647"},
      {5, -3, L"5"},
      {-5, 3, L"-05"},  // hand-edited: the sign stays in front
      {-2147483647 - 1, 1, L"-2147483648"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.number << " with " << c.digits << " digits");
    EXPECT_EQ(FormatRunningNumber(c.number, c.digits), c.expected);
  }
  // A hand-edited digit count cannot make a name longer than a name can be.
  EXPECT_EQ(FormatRunningNumber(7, 1000000), std::wstring(249, L'0') + L"7");
}

TEST(WindowNameText, TitlesBecomeSafeNameParts) {
  struct Case {
    const wchar_t* title;
    int32_t length;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"", 16, L"_Unknown"},
      {L"", 5, L"_Unkn"},
      {L"", 0, L""},
      {L"Notepad", 0, L""},
      {L"Notepad", -4, L""},
      {L"C:/work: notes", 16, L"C  work  notes"},
      {L"0123456789abcdefXYZ", 16, L"0123456789abcdef"},
      {L"What? Yes|No", 16, L"What  Yes No"},
      {L"a\tb\nc\x01" L"d", 16, L"a b c d"},
      {L"無題 - メモ帳", 16, L"無題 - メモ帳"},
      {L"abc\xD83D\xDE00", 4, L"abc"},  // the pair is not split
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.title)));
    EXPECT_EQ(WindowNameText(c.title, c.length), c.expected);
  }
}

TEST(ReplaceForbiddenChars, EveryCharacterAWindowsNameRefuses) {
  std::wstring text = L"\\:,/<>*$\"?|";
  for (wchar_t c = 1; c < 0x20; ++c) text.push_back(c);
  ReplaceForbiddenChars(text);
  EXPECT_EQ(text, std::wstring(11 + 31, L' '));

  std::wstring kept = L"a-b_c.d (e) [f] {g} 'h' %i ~j #k @l +m =n ;o 全角：";
  const std::wstring before = kept;
  ReplaceForbiddenChars(kept);
  EXPECT_EQ(kept, before);
}

TEST(TrimSpaces, BothEnds) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"  a b  ", L"a b"}, {L"\t\r\na\n", L"a"}, {L"   ", L""}, {L"", L""}, {L"x", L"x"}};
  for (const auto& [in, out] : cases) {
    std::wstring text = in;
    TrimSpaces(text);
    EXPECT_EQ(text, out);
  }
}

struct PathCase {
  const wchar_t* folder;
  const wchar_t* fileTemplate;
  int32_t imageType;
  const wchar_t* directory;  // expected
  int directoryFlags;
  const wchar_t* path;       // expected; null when the file part fails
  int fileFlags;
};

TEST(ComposeSavePath, FoldersAndFileFromTheTemplate) {
  const PathCase cases[] = {
      // The default template with profile Game, event 0, running number 7 of 3 digits.
      {L"C:\\shots", L"screenshot\\%p\\capture%r", 1, L"C:\\shots\\screenshot\\Game\\", 0,
       L"C:\\shots\\screenshot\\Game\\capture007.jpg", kRunningNumberUsed},
      {L"C:\\shots\\", L"%y_%M_%D_\\Image%r", 3, L"C:\\shots\\2007_01_02_\\", 0,
       L"C:\\shots\\2007_01_02_\\Image007.png", kRunningNumberUsed},
      {L"C:\\shots", L"%r\\name", 0, L"C:\\shots\\007\\", kRunningNumberUsed,
       L"C:\\shots\\007\\name.bmp", 0},
      {L"C:\\shots", L"plain", 2, L"C:\\shots\\", 0, L"C:\\shots\\plain.gif", 0},
      {L"C:\\shots", L"  a  \\  b  ", 1, L"C:\\shots\\a\\", 0, L"C:\\shots\\a\\b.jpg", 0},
      {L"C:\\shots", L"\\x", 1, L"C:\\shots\\\\", 0, L"C:\\shots\\\\x.jpg", 0},
      {L"C:\\shots", L"a\\\\b", 1, L"C:\\shots\\a\\\\", 0, L"C:\\shots\\a\\\\b.jpg", 0},
      {L"C:\\shots", L"%w\\%w", 1, L"C:\\shots\\Loading\\", 0,
       L"C:\\shots\\Loading\\Loading....jpg", 0},  // trailing dots leave folder names only
      {L"C:\\shots", L"%v_%r", 7, L"C:\\shots\\", 0, L"C:\\shots\\ScreenShot_Desktop_007",
       kRunningNumberUsed},  // no extension for an unknown image type
      {L"C:\\shots", L"dir\\", 1, L"C:\\shots\\dir\\", 0, nullptr, 0},
      {L"C:\\shots", L"", 1, L"C:\\shots\\", 0, nullptr, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.fileTemplate)));
    PlaceholderValues v = Values();
    v.windowName = L"Loading...";
    std::wstring directory;
    EXPECT_EQ(ComposeSaveDirectory(directory, c.folder, c.fileTemplate, v), c.directoryFlags);
    EXPECT_EQ(directory, c.directory);
    std::wstring path = directory;
    if (c.path) {
      EXPECT_EQ(ComposeFileNamePart(path, c.fileTemplate, c.imageType, v), c.fileFlags);
      EXPECT_EQ(path, c.path);
    } else {
      EXPECT_EQ(ComposeFileNamePart(path, c.fileTemplate, c.imageType, v), -1);
    }
  }
}

TEST(ComposeSavePath, TitlesCannotAddFoldersOrClimbOut) {
  PlaceholderValues v = Values();
  v.windowName = WindowNameText(L"..\\..\\Windows", 16);
  std::wstring directory;
  ComposeSaveDirectory(directory, L"C:\\shots", L"%w\\x", v);
  EXPECT_EQ(directory, L"C:\\shots\\.. .. Windows\\");

  v.windowName = WindowNameText(L"..", 16);  // nothing but dots: no folder of its own
  ComposeSaveDirectory(directory, L"C:\\shots", L"%w\\x", v);
  EXPECT_EQ(directory, L"C:\\shots\\\\");
}

TEST(ReservedDeviceNames, GetAnUnderscoreWhereverTheyWouldBeAComponent) {
  const std::pair<const wchar_t*, const wchar_t*> names[] = {
      {L"CON", L"CON_"},      {L"con", L"con_"},       {L"Nul", L"Nul_"},     {L"aux.txt", L"aux_.txt"},
      {L"PRN  .x", L"PRN_  .x"}, {L"COM1", L"COM1_"},  {L"lpt9", L"lpt9_"},   {L"COM0", L"COM0"},
      {L"COM10", L"COM10"},   {L"CONSOLE", L"CONSOLE"}, {L"xCON", L"xCON"},   {L"", L""},
      {L"LPT", L"LPT"},
  };
  for (const auto& [in, out] : names) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(in)));
    std::wstring text = in;
    AvoidReservedDeviceName(text);
    EXPECT_EQ(text, out);
  }

  PlaceholderValues v = Values();
  v.windowName = L"con";
  std::wstring directory;
  ComposeSaveDirectory(directory, L"C:\\s", L"%w\\nul.\\%w", v);
  EXPECT_EQ(directory, L"C:\\s\\con_\\nul_\\");
  std::wstring path = directory;
  ComposeFileNamePart(path, L"%w\\%w", 3, v);
  EXPECT_EQ(path, L"C:\\s\\con_\\nul_\\con_.png");
}

TEST(ImageTypeExtension, KnownTypesOnly) {
  EXPECT_EQ(ImageTypeExtension(0), L"bmp");
  EXPECT_EQ(ImageTypeExtension(1), L"jpg");
  EXPECT_EQ(ImageTypeExtension(2), L"gif");
  EXPECT_EQ(ImageTypeExtension(3), L"png");
  EXPECT_TRUE(ImageTypeExtension(4).empty());
  EXPECT_TRUE(ImageTypeExtension(-1).empty());
}

TEST(ExpandPlaceholders, RandomTemplatesKeepTheirPromises) {
  // Templates made of placeholders, stray "%", backslashes, spaces and surrogate pairs.
  const std::wstring pieces[] = {L"%",  L"%r", L"%w", L"%p", L"%Y", L"%x", L"\\", L" ", L"a",
                                 L"長", L"\xD83D\xDE00", L".", L"%%", L"%v"};
  PlaceholderValues v = Values();
  v.windowName = L"t%p\xD83D\xDE00";
  v.profileName = std::wstring(60, L'p') + L"\xD83D\xDE00";
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int round = 0; round < 3000; ++round) {
    std::wstring text;
    const int count = static_cast<int>(next() % 40);
    for (int i = 0; i < count; ++i) text += pieces[next() % std::size(pieces)];
    SCOPED_TRACE(testing::PrintToString(text));

    std::wstring expanded = text;
    const int flags = ExpandPlaceholders(expanded, v);
    EXPECT_EQ(flags != 0, text.find(L"%r") != std::wstring::npos);
    if (text.find(L'%') != std::wstring::npos) {
      EXPECT_LE(expanded.size(), kMaxExpandedLength);
    }
    if (!expanded.empty()) {
      EXPECT_FALSE(expanded.back() >= 0xD800 && expanded.back() <= 0xDBFF);
    }

    std::wstring directory;
    ComposeSaveDirectory(directory, L"C:\\s", text, v);
    EXPECT_EQ(directory.rfind(L"C:\\s\\", 0), 0u);
    EXPECT_EQ(directory.back(), L'\\');
    std::wstring path = directory;
    if (ComposeFileNamePart(path, text, 1, v) >= 0) {
      EXPECT_EQ(path.substr(path.size() - 4), L".jpg");
      EXPECT_EQ(path.find(directory), 0u);
    }
  }
}
