// The conversion tool in the real program under Wine: files reach the settings window through a
// real WM_DROPFILES (the drop block is built inside the program's process, as the shell does),
// the page's list and marks are read from the list control, the progress, overwrite and cancel
// dialogs are answered like a user would, and the written files are judged by ImageMagick,
// djpeg and giftext run from here.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "convert_wine_driver.h"
#include "wine_test_support.h"

using pelmo::test::PelmoProcess;

using namespace pelmo::test::convert;

namespace {

constexpr int kPending = 0, kDone = 1, kFailed = 2;  // image indices of the row marks

struct Row {
  std::wstring text;
  int image = -1;
};

class ConvertWineTest : public ::testing::Test {
 protected:
  void Start(const std::wstring& extraSections, int imageType = 1) {
    pelmo::test::TestProfile profile;
    profile.name = L"conv";
    profile.saveFolder = pelmo_.path(L"shots");
    profile.imageType = imageType;
    profile.extraSections = extraSections;
    ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), profile));
    ASSERT_TRUE(CreateDirectoryW(In().c_str(), nullptr));
    ASSERT_TRUE(pelmo_.Start());
    ASSERT_NE(pelmo_.WaitForMainWindow(), nullptr);
    settings_ = pelmo::test::FindPelmoSettingsWindow(pelmo_.process().pid());
    ASSERT_NE(settings_, nullptr);
    page_ = FindToolPage(settings_);
    ASSERT_NE(page_, nullptr) << "the tool page (with button 1096) is a child of the settings window";
    list_ = GetDlgItem(page_, 1095);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                           pelmo_.process().pid());
    ASSERT_NE(process_, nullptr);
  }

  void TearDown() override {
    if (process_) CloseHandle(process_);
  }

  std::wstring In(const std::wstring& name = L"") const {
    return name.empty() ? pelmo_.path(L"in") : pelmo_.path(L"in") + L"\\" + name;
  }
  std::wstring Fixed(const std::wstring& name) const { return pelmo_.path(L"_FixedImage") + L"\\" + name; }

  // A picture made by ImageMagick.
  void MakeImage(const std::wstring& name, const std::string& spec = "gradient:red-blue", int w = 64, int h = 48) {
    std::string as = "png";
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
      const std::string ext = WideToUtf8(name.substr(dot + 1));
      if (ext == "jpg" || ext == "jpeg" || ext == "gif" || ext == "bmp") as = ext == "jpg" ? "jpeg" : ext;
    }
    // The format comes from `as`, so names without an image extension get a picture too.
    RunUnix("/usr/bin/convert -size " + std::to_string(w) + "x" + std::to_string(h) + " " + spec + " " + as + ":" +
            Quote(UnixPath(In(name))));
    ASSERT_TRUE(pelmo::test::FileExists(In(name))) << WideToUtf8(name);
  }

  // Posts WM_DROPFILES with a drop block made inside the program, as a drop from the shell.
  void Drop(const std::vector<std::wstring>& paths) { ASSERT_TRUE(PostDrop(process_, settings_, paths)); }

  int RowCount() { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

  // Waits for the drop to be handled: the row count stops changing at `expected`.
  void WaitForRows(int expected) {
    EXPECT_TRUE(WaitUntil([&] { return RowCount() == expected; }, 15000)) << RowCount();
    Sleep(300);
    EXPECT_EQ(RowCount(), expected);
  }

  std::vector<Row> Rows() {
    std::vector<Row> rows;
    const int n = RowCount();
    RemoteBlock block(process_, sizeof(LVITEMW) + 520 * sizeof(wchar_t));
    for (int i = 0; i < n; ++i) {
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = i;
      item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(block.get()) + sizeof(LVITEMW));
      item.cchTextMax = 520;
      block.Write(&item, sizeof item);
      SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(block.get()));
      block.Read(&item, sizeof item);
      wchar_t text[520] = {};
      block.Read(text, sizeof text, sizeof(LVITEMW));
      rows.push_back(Row{text, item.iImage});
    }
    return rows;
  }

  int RowImage(int row) { return ListRowImage(process_, list_, row); }

  std::vector<int> Marks() {
    std::vector<int> marks;
    for (const Row& r : Rows()) marks.push_back(r.image);
    return marks;
  }

  void ClickConvert() {
    PostMessageW(page_, WM_COMMAND, MAKEWPARAM(1096, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page_, 1096)));
  }
  void ClickClear() {
    PostMessageW(page_, WM_COMMAND, MAKEWPARAM(1115, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page_, 1115)));
  }

  // Waits until the rows carry these marks (the end of a run) and the progress dialog is gone.
  void WaitForMarks(const std::vector<int>& expected, DWORD ms = 60000) {
    EXPECT_TRUE(WaitUntil([&] { return Marks() == expected && !Window(L"イメージ変換中"); }, ms));
    EXPECT_EQ(Marks(), expected);
  }

  // A visible top-level window of the program by caption.
  HWND Window(const wchar_t* caption) { return ProgramWindow(pelmo_.process().pid(), caption); }

  HWND WaitForWindow(const wchar_t* caption, DWORD ms = 30000) {
    HWND w = nullptr;
    WaitUntil([&] { return (w = Window(caption)) != nullptr; }, ms);
    return w;
  }

  // The message box owned by `owner` (the cancel confirmation).
  HWND OwnedBox(HWND owner) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            wchar_t caption[64] = {};
            GetWindowTextW(w, caption, 64);
            if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w) && wcscmp(caption, L"上書き確認") != 0) {
              found = w;
              return true;
            }
          }
          return false;
        },
        20000);
    return found;
  }

  static std::wstring Text(HWND w) {
    wchar_t buf[4096] = {};
    SendMessageW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf));
    return buf;
  }

  // Answers the overwrite question: 1111 all, 1112 this one, 1113 no. Returns the file name shown.
  std::wstring AnswerOverwrite(int button) {
    HWND ask = WaitForWindow(L"上書き確認");
    EXPECT_NE(ask, nullptr) << "no overwrite question";
    if (!ask) return {};
    const std::wstring name = Text(GetDlgItem(ask, 1114));
    PostMessageW(ask, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(ask, button)));
    WaitUntil([&] { return !IsWindow(ask) || !IsWindowVisible(ask); }, 10000);
    return name;
  }

  // The log's lines without time stamps; checks the UTF-8 mark and the CR LF endings.
  std::vector<std::wstring> LogLines() {
    std::string bytes = pelmo::test::ReadFileBytes(pelmo_.path(L"log.txt"));
    std::vector<std::wstring> lines;
    if (bytes.empty()) return lines;
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    bytes.erase(0, 3);
    size_t pos = 0;
    while (pos < bytes.size()) {
      const size_t end = bytes.find("\r\n", pos);
      if (end == std::string::npos) break;
      const std::wstring line = Utf8ToWide(bytes.substr(pos, end - pos));
      const size_t stamp = line.find(L") ");
      lines.push_back(stamp == std::wstring::npos ? line : line.substr(stamp + 2));
      pos = end + 2;
    }
    return lines;
  }

  void SelectFormat(int type) {
    DWORD_PTR r = 0;
    SendMessageTimeoutW(pelmo_.mainWindow(), WM_COMMAND, 32800 + type, 0, SMTO_ABORTIFHUNG, 10000, &r);
  }

  PelmoProcess pelmo_;
  HWND settings_ = nullptr, page_ = nullptr, list_ = nullptr;
  HANDLE process_ = nullptr;
};

const wchar_t kNoFolder[] = L"保存フォルダが存在しません。";
const wchar_t kExists[] = L"同名のファイルが既に存在します";

TEST_F(ConvertWineTest, DropFilterDuplicatesAndAFolderNamedLikeAnImage) {
  Start(L"");
  for (const wchar_t* n : {L"one.PNG", L"two.jpg", L"three.jpeg", L"four.png.bak", L"five"}) MakeImage(n, "xc:red");
  ASSERT_TRUE(CreateDirectoryW(In(L"x.png").c_str(), nullptr));
  Drop({In(L"one.PNG"), In(L"two.jpg"), In(L"three.jpeg"), In(L"four.png.bak"), In(L"five")});
  WaitForRows(2);
  std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, L"one.PNG");
  EXPECT_EQ(rows[1].text, L"two.jpg");
  EXPECT_EQ(rows[0].image, kPending);
  EXPECT_TRUE(GetWindowLongW(page_, GWL_STYLE) & WS_VISIBLE) << "a drop brings the tool page to the front";

  // The same path again is dropped silently; another letter case is another file; the folder
  // passes the filter.
  Drop({In(L"one.PNG"), In(L"ONE.PNG"), In(L"x.png")});
  WaitForRows(4);
  rows = Rows();
  EXPECT_EQ(rows[2].text, L"ONE.PNG");
  EXPECT_EQ(rows[3].text, L"x.png");

  ClickConvert();
  // ONE.PNG is one.PNG on this file system: its destination exists by then.
  EXPECT_EQ(AnswerOverwrite(1113), L"ONE.jpg");
  WaitForMarks({kDone, kDone, kFailed, kFailed});
  EXPECT_EQ(Identify(Fixed(L"one.jpg"), "%m %w %h"), "JPEG 64 48");
  EXPECT_EQ(LogLines(), std::vector<std::wstring>{kExists});

  // A drop after a run starts a new list.
  Drop({In(L"two.jpg")});
  WaitForRows(1);
  EXPECT_EQ(Marks(), std::vector<int>{kPending});
}

// A mixed batch into each of the four types, switched from the tray command between runs
// (unsaved changes apply at once), each judged by decoders we did not write.
TEST_F(ConvertWineTest, MixedBatchIntoEachTypeWithItsOptions) {
  Start(L"[BMP]\r\nBmpColor=24\r\n[JPG]\r\nJpgCompression=75\r\nJpgProgression=1\r\n"
        L"[GIF]\r\nGifInterlace=1\r\n[PNG]\r\nPngColor=8\r\nPngInterlace=1\r\n");
  MakeImage(L"s1.bmp", "gradient:red-blue", 120, 80);
  MakeImage(L"s2.jpg", "plasma:fractal", 120, 80);
  MakeImage(L"s3.gif", "gradient:yellow-green", 120, 80);
  MakeImage(L"s4.png", "gradient:white-black", 120, 80);
  struct Case {
    int type;
    const wchar_t* ext;
    const char* format;
    const char* expected;
  } cases[] = {
      {0, L"bmp", "%m %w %h", "BMP3 120 80"},
      {1, L"jpg", "%m %w %h %Q [%[interlace]]", "JPEG 120 80 75 [JPEG]"},
      {2, L"gif", "%m %w %h [%[interlace]]", "GIF 120 80 [GIF]"},
      {3, L"png", "%m %w %h [%[interlace]]", "PNG 120 80 [PNG]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    SelectFormat(c.type);
    Drop({In(L"s1.bmp"), In(L"s2.jpg"), In(L"s3.gif"), In(L"s4.png")});
    WaitForRows(4);
    ClickConvert();
    WaitForMarks({kDone, kDone, kDone, kDone});
    for (int i = 1; i <= 4; ++i) {
      const std::wstring out = Fixed(L"s" + std::to_wstring(i) + L"." + c.ext);
      EXPECT_EQ(Identify(out, c.format), c.expected) << WideToUtf8(out);
    }
  }
  const std::string bmp = pelmo::test::ReadFileBytes(Fixed(L"s1.bmp"));
  ASSERT_GT(bmp.size(), 30u);
  EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24);
  const std::string png = pelmo::test::ReadFileBytes(Fixed(L"s4.png"));
  ASSERT_GT(png.size(), 30u);
  EXPECT_EQ(png[25], 3) << "palette PNG";
  // djpeg and giftext read them too.
  EXPECT_NE(RunUnix("/usr/bin/djpeg -pnm " + Quote(UnixPath(Fixed(L"s2.jpg")))).rfind("P6", 0),
            std::string::npos);
  EXPECT_NE(RunUnix("/usr/bin/giftext " + Quote(UnixPath(Fixed(L"s3.gif")))).find("Image is Interlaced."),
            std::string::npos);
  EXPECT_TRUE(LogLines().empty());
}

TEST_F(ConvertWineTest, MissingChosenFolderLogs201ForEachFile) {
  Start(L"[TRANSLATE]\r\nEnableSaveDirectory=1\r\nSaveDirectory=C:\\no\\such\\folder\r\n");
  MakeImage(L"a.png");
  MakeImage(L"b.gif");
  Drop({In(L"a.png"), In(L"b.gif")});
  WaitForRows(2);
  EXPECT_EQ(Text(GetDlgItem(page_, 1088)), L"C:\\no\\such\\folder");
  EXPECT_EQ(IsDlgButtonChecked(page_, 1087), BST_CHECKED);
  ClickConvert();
  WaitForMarks({kFailed, kFailed});
  EXPECT_EQ(LogLines(), (std::vector<std::wstring>{kNoFolder, kNoFolder}));
  EXPECT_FALSE(pelmo::test::FileExists(L"C:\\no\\such\\folder"));
  EXPECT_FALSE(pelmo::test::FileExists(pelmo_.path(L"_FixedImage")));

  // Unchecking the box goes to _FixedImage, which the run creates.
  PostMessageW(GetDlgItem(page_, 1087), BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(page_, 1088)); }, 5000));
  Drop({In(L"a.png")});
  WaitForRows(1);
  ClickConvert();
  WaitForMarks({kDone});
  EXPECT_EQ(Identify(Fixed(L"a.jpg"), "%m"), "JPEG");
  // Nothing failed, so nothing was written: the log still holds the first list's lines.
  EXPECT_EQ(LogLines(), (std::vector<std::wstring>{kNoFolder, kNoFolder}));
}

TEST_F(ConvertWineTest, OverwriteAnswersAndOverwriteAll) {
  Start(L"");
  ASSERT_TRUE(CreateDirectoryW(pelmo_.path(L"_FixedImage").c_str(), nullptr));
  const wchar_t* names[] = {L"a", L"b", L"c", L"d", L"e"};
  std::vector<std::wstring> drop;
  for (const wchar_t* n : names) {
    MakeImage(std::wstring(n) + L".png");
    pelmo::test::WriteTextFile(Fixed(std::wstring(n) + L".jpg"), "old");
    drop.push_back(In(std::wstring(n) + L".png"));
  }
  Drop(drop);
  WaitForRows(5);
  ClickConvert();
  EXPECT_EQ(AnswerOverwrite(1113), L"a.jpg");  // no
  EXPECT_EQ(AnswerOverwrite(1112), L"b.jpg");  // overwrite
  EXPECT_EQ(AnswerOverwrite(1111), L"c.jpg");  // overwrite all: no more questions
  WaitForMarks({kFailed, kDone, kDone, kDone, kDone});
  EXPECT_EQ(pelmo::test::ReadFileBytes(Fixed(L"a.jpg")), "old");
  for (const wchar_t* n : {L"b.jpg", L"e.jpg"}) EXPECT_EQ(Identify(Fixed(n), "%m"), "JPEG");
  EXPECT_EQ(LogLines(), std::vector<std::wstring>(5, kExists));

  // The next run asks again; Esc in the question means no.
  Drop({In(L"a.png")});
  WaitForRows(1);
  ClickConvert();
  HWND ask = WaitForWindow(L"上書き確認");
  ASSERT_NE(ask, nullptr);
  PostMessageW(ask, WM_COMMAND, IDCANCEL, 0);
  WaitForMarks({kFailed});
  EXPECT_EQ(pelmo::test::ReadFileBytes(Fixed(L"a.jpg")), "old");
}

// Same folder, same type: asked, then re-encoded in place from what was read first.
TEST_F(ConvertWineTest, SourceThatIsItsOwnDestination) {
  Start(L"[PNG]\r\nPngColor=8\r\n[TRANSLATE]\r\nEnableSaveDirectory=1\r\nSaveDirectory=" + In() + L"\\\r\n", 3);
  MakeImage(L"self.png", "gradient:red-blue", 300, 200);
  const std::string before = pelmo::test::ReadFileBytes(In(L"self.png"));
  Drop({In(L"self.png")});
  WaitForRows(1);
  ClickConvert();
  EXPECT_EQ(AnswerOverwrite(1112), L"self.png");
  WaitForMarks({kDone});
  const std::string after = pelmo::test::ReadFileBytes(In(L"self.png"));
  EXPECT_NE(after, before);
  ASSERT_GT(after.size(), 30u);
  EXPECT_EQ(after[25], 3);
  EXPECT_EQ(Identify(In(L"self.png"), "%m %w %h"), "PNG 300 200");
}

TEST_F(ConvertWineTest, BrokenFileAmongGoodOnesFailsAlone) {
  Start(L"", 3);
  MakeImage(L"good1.jpg", "plasma:fractal");
  MakeImage(L"good2.bmp");
  MakeImage(L"whole.png");
  std::string half = pelmo::test::ReadFileBytes(In(L"whole.png"));
  half.resize(half.size() / 2);
  pelmo::test::WriteTextFile(In(L"broken.png"), half);
  Drop({In(L"good1.jpg"), In(L"broken.png"), In(L"good2.bmp"), In(L"missing.gif")});
  WaitForRows(4);
  ClickConvert();
  WaitForMarks({kDone, kFailed, kDone, kFailed});
  EXPECT_FALSE(pelmo::test::FileExists(Fixed(L"broken.png")));
  EXPECT_EQ(Identify(Fixed(L"good2.png"), "%m"), "PNG");
  // Only the missing file is logged; a file the codec cannot read is not.
  EXPECT_EQ(LogLines(), std::vector<std::wstring>{L"対象ファイルがファイルが存在しません。"});
}

// Cancel at the second file's question: declined once, then confirmed. A further run converts
// the rest and marks exactly their rows.
TEST_F(ConvertWineTest, CancelAndContinue) {
  Start(L"");
  ASSERT_TRUE(CreateDirectoryW(pelmo_.path(L"_FixedImage").c_str(), nullptr));
  std::vector<std::wstring> drop;
  for (const wchar_t* n : {L"a", L"b", L"c", L"d", L"e"}) {
    MakeImage(std::wstring(n) + L".png");
    pelmo::test::WriteTextFile(Fixed(std::wstring(n) + L".jpg"), "old");
    drop.push_back(In(std::wstring(n) + L".png"));
  }
  Drop(drop);
  WaitForRows(5);
  ClickConvert();
  HWND progress = WaitForWindow(L"イメージ変換中");
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(AnswerOverwrite(1112), L"a.jpg");
  // "中止" while the question for b is open; answering it converts b, then the request is asked.
  ASSERT_NE(WaitForWindow(L"上書き確認"), nullptr);
  PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
  Sleep(300);
  EXPECT_EQ(AnswerOverwrite(1112), L"b.jpg");
  HWND box = OwnedBox(progress);
  ASSERT_NE(box, nullptr) << "the cancel request is confirmed";
  EXPECT_NE(Text(GetDlgItem(box, 0xFFFF)).find(L"イメージ変換を中止しますか？"), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);  // go on
  ASSERT_NE(WaitForWindow(L"上書き確認"), nullptr);
  PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
  Sleep(300);
  EXPECT_EQ(AnswerOverwrite(1112), L"c.jpg");
  box = OwnedBox(progress);
  ASSERT_NE(box, nullptr) << "a later request asks again";
  PostMessageW(box, WM_COMMAND, IDOK, 0);  // stop
  WaitForMarks({kDone, kDone, kDone, kFailed, kFailed});
  EXPECT_EQ(pelmo::test::ReadFileBytes(Fixed(L"d.jpg")), "old");

  // A further run: only d and e are left; their rows get the marks.
  ClickConvert();
  EXPECT_EQ(AnswerOverwrite(1111), L"d.jpg");
  WaitForMarks({kDone, kDone, kDone, kDone, kDone});
  EXPECT_EQ(Identify(Fixed(L"e.jpg"), "%m"), "JPEG");
}

TEST_F(ConvertWineTest, ImageTypeOutsideTheTableFailsEveryFileWithOneLine) {
  Start(L"", 7);
  MakeImage(L"a.png");
  MakeImage(L"b.png");
  Drop({In(L"a.png"), In(L"b.png")});
  WaitForRows(2);
  ClickConvert();
  WaitForMarks({kFailed, kFailed});
  EXPECT_EQ(LogLines(), std::vector<std::wstring>(2, L"画像形式の設定が正しくありません。"));
  EXPECT_FALSE(pelmo::test::FileExists(pelmo_.path(L"_FixedImage")));
}

// More files than a 16-bit range holds: the bar's range and position are the true counts. The
// last file's overwrite question holds the run so the bar can be read.
TEST_F(ConvertWineTest, ProgressRangeCoversMoreThan65535Files) {
  Start(L"");
  constexpr int kFiles = 66000;
  ASSERT_TRUE(CreateDirectoryW(pelmo_.path(L"_FixedImage").c_str(), nullptr));
  MakeImage(L"last.png");
  pelmo::test::WriteTextFile(Fixed(L"last.jpg"), "old");
  std::vector<std::wstring> drop;
  for (int i = 0; i < kFiles - 1; ++i) drop.push_back(In(L"m" + std::to_wstring(i) + L".png"));
  drop.push_back(In(L"last.png"));
  Drop(drop);
  WaitForRows(kFiles);
  ClickConvert();
  HWND progress = WaitForWindow(L"イメージ変換中", 120000);
  ASSERT_NE(progress, nullptr);
  HWND ask = WaitForWindow(L"上書き確認", 240000);
  ASSERT_NE(ask, nullptr);
  HWND bar = GetDlgItem(progress, 1109);
  EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), kFiles);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), kFiles - 1);
  const std::wstring position = Text(GetDlgItem(progress, 1110));
  EXPECT_EQ(position.rfind(L"65999 / 66000  ", 0), 0u) << WideToUtf8(position);
  EXPECT_EQ(AnswerOverwrite(1112), L"last.jpg");
  EXPECT_TRUE(WaitUntil([&] { return !Window(L"イメージ変換中") && RowImage(kFiles - 1) == kDone; }, 60000));
  EXPECT_EQ(RowCount(), kFiles);
  EXPECT_EQ(RowImage(0), kFailed);
  EXPECT_EQ(RowImage(kFiles - 2), kFailed);
  EXPECT_EQ(LogLines().size(), static_cast<size_t>(kFiles));  // 65999 missing files and one 210
}

}  // namespace
