// The settings window of the running program, worked through its controls by id from this
// process: quick start, the profile buttons and their name dialogs, the save question, the
// fallback for a vanished profile, Esc and Enter, the tray's profile commands, the general and
// options pages and their effects on the process. The profile files on disk are the judge.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings_driver.h"
#include "wine_test_support.h"

namespace {

using pelmo::test::Answer;
using pelmo::test::DebugMonitor;
using pelmo::test::PelmoProcess;
using pelmo::test::SettingsDriver;
using pelmo::test::WaitForDialog;
using pelmo::test::WaitForMessageBox;
using pelmo::test::WaitUntil;

// Control ids of the window and its pages.
constexpr int kNew = 1000, kSave = 1001, kDelete = 1002, kSelector = 1005, kOk = 1015, kPageList = 1025,
              kRename = 1026, kQuickStart = 1161;
constexpr int kImageType = 1010, kSaveFolder = 1009, kBanner = 1117, kDescription = 1118, kLastFile = 1148;
// Pages are found by a control id no other page uses (1147 is also on the automatic-capture page).
constexpr int kCheckRewrite = 1147, kGlobalHook = 1149, kShortcut = 1150, kDisableInput = 1049,
              kCheckProfileRewrite = 1156, kPriority = 1119, kPriorityName = 1120;
constexpr int kVersionText = 1057;
constexpr UINT kStepProfile = 0x8009, kSelectProfile = 0x8034;

const std::wstring kCreateCaption = L"プロファイルの新規作成";
const std::wstring kRenameCaption = L"プロファイル名の変更";
const std::wstring kQuickStartName = L"クイックスタート";

// Texts of the string table the boxes show.
const std::wstring kMsgSaved = L"現在のプロファイルを保存しました。";
const std::wstring kMsgTooLong = L"プロファイル名が長すぎます。";
const std::wstring kMsgForbidden = L"プロファイル名に使用できない文字列が含まれています。";
const std::wstring kMsgEmpty = L"プロファイル名が入力されていません。";
const std::wstring kMsgInUse = L"そのプロファイル名は既に使用されています。";
const std::wstring kMsgMissing = L"選択されたプロファイルが存在しないため削除しました。";
const std::wstring kMsgAskSave = L"プロファイルが変更されています。現在のプロファイルを保存しますか？";
const std::wstring kMsgAskDelete = L"現在のプロファイルを削除しますか？";
const std::wstring kMsgSaveFailed = L"プロファイルを保存できませんでした。";

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class SettingsWindowTest : public ::testing::Test {
 protected:
  // Profiles with distinct save folders and image types; the window opens at start.
  void Install(const std::vector<std::wstring>& names, int show = 1, int checkProfileRewrite = 1) {
    ASSERT_TRUE(pelmo::test::WriteCommonIni(pelmo_.folder().path(), show, checkProfileRewrite));
    for (size_t i = 0; i < names.size(); ++i) {
      pelmo::test::TestProfile p;
      p.name = names[i];
      p.saveFolder = pelmo_.path(L"out" + std::to_wstring(i));
      p.imageType = static_cast<int>(i % 4);
      ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), p));
    }
  }
  void Start(bool visible = true) { ASSERT_TRUE(driver_.Start(visible)) << "the settings window did not appear"; }

  HWND Frame() { return driver_.frame(); }
  HWND Item(int id) { return driver_.Item(id); }
  bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
  std::wstring File(const std::wstring& name) { return driver_.ProfileFile(name); }
  std::wstring Ini(const std::wstring& name, const wchar_t* section, const wchar_t* key) {
    return driver_.IniValue(File(name), section, key);
  }

  // Changes the image type on the general page (an edit of the current profile). Sent, not
  // posted: a message sent to the program next (a profile step) would overtake a posted change.
  void ChooseImageType(int type) {
    HWND combo = driver_.PageItem(kBanner, kImageType);
    driver_.Send(combo, CB_SETCURSEL, static_cast<WPARAM>(type));
    driver_.Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(kImageType, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  }
  int ShownImageType() { return static_cast<int>(driver_.Send(driver_.PageItem(kBanner, kImageType), CB_GETCURSEL)); }

  // Runs "新規作成" with a name; returns the text of the box it showed, if any (answered with OK).
  std::wstring CreateProfile(const std::wstring& name, bool copy, bool expectDialogClosed) {
    driver_.Click(Item(kNew));
    HWND dialog = WaitForDialog(driver_.pid(), kCreateCaption);
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return L"<no dialog>";
    driver_.Type(GetDlgItem(dialog, 1017), name);
    driver_.SetChecked(GetDlgItem(dialog, 1050), copy);
    driver_.Click(GetDlgItem(dialog, IDOK));
    std::wstring seen;
    if (!expectDialogClosed) {
      auto box = WaitForMessageBox(driver_.pid());
      seen = box.text;
      Answer(box, IDOK);
      driver_.Click(GetDlgItem(dialog, IDCANCEL));
    }
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog stayed open";
    driver_.Settle(100);
    return seen;
  }

  PelmoProcess pelmo_;
  SettingsDriver driver_{pelmo_};
};

TEST_F(SettingsWindowTest, FirstStartShowsTheQuickStartPageAndQuickStartLoadsAProfile) {
  Start();
  EXPECT_TRUE(driver_.PageVisible(kQuickStart));
  EXPECT_FALSE(driver_.PageVisible(kBanner));
  EXPECT_TRUE(driver_.Entries().empty());
  for (int id : {kSelector, kPageList, kSave, kDelete, kRename, kOk}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(kNew));

  // Without a profile there is nothing to copy.
  driver_.Click(Item(kNew));
  HWND dialog = WaitForDialog(driver_.pid(), kCreateCaption);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1050)));
  driver_.Click(GetDlgItem(dialog, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(driver_.PageVisible(kQuickStart));

  driver_.Click(driver_.PageItem(kQuickStart, kQuickStart));
  ASSERT_TRUE(WaitUntil([&] { return pelmo::test::FileExists(File(kQuickStartName)); }));
  ASSERT_TRUE(WaitUntil([&] { return driver_.PageVisible(kBanner); }));
  EXPECT_FALSE(driver_.PageVisible(kQuickStart));
  EXPECT_EQ(driver_.Entries(), std::vector<std::wstring>{kQuickStartName});
  EXPECT_EQ(driver_.Selected(), 0);
  for (int id : {kSelector, kPageList, kSave, kDelete, kRename, kOk}) EXPECT_TRUE(Enabled(id)) << id;
  // A profile of defaults: JPG.
  EXPECT_EQ(ShownImageType(), 1);
}

TEST_F(SettingsWindowTest, SelectorIsSortedAndStartsWithTheLastProfile) {
  Install({L"delta", L"Alpha", L"charlie", L"Bravo"});  // setting.ini names "delta"
  Start();
  const auto names = driver_.Entries();
  ASSERT_EQ(names.size(), 4u);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
  }));
  EXPECT_EQ(names.front(), L"Alpha");
  EXPECT_EQ(driver_.SelectedName(), L"delta");
  EXPECT_EQ(ShownImageType(), 0);  // delta was installed first: BMP
}

TEST_F(SettingsWindowTest, NewProfileWithAndWithoutCopy) {
  Install({L"base"});
  Start();
  ChooseImageType(3);  // PNG, not saved
  EXPECT_EQ(CreateProfile(L"copied", true, true), L"");
  // The switch to the new profile asks about the unsaved edit: keep it unsaved.
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskSave);
  Answer(box, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return driver_.SelectedName() == L"copied"; }));
  EXPECT_EQ(Ini(L"copied", L"OPTION", L"ImageType"), L"3") << "a copy carries the unsaved edit";
  EXPECT_EQ(Ini(L"base", L"OPTION", L"ImageType"), L"0") << "answered No: base unchanged";
  EXPECT_EQ(ShownImageType(), 3);

  EXPECT_EQ(CreateProfile(L"plain", false, true), L"");
  ASSERT_TRUE(WaitUntil([&] { return driver_.SelectedName() == L"plain"; }));
  EXPECT_EQ(Ini(L"plain", L"OPTION", L"ImageType"), L"1") << "defaults: JPG";
  EXPECT_EQ(ShownImageType(), 1);
  EXPECT_EQ(driver_.Entries(), (std::vector<std::wstring>{L"base", L"copied", L"plain"}));
}

TEST_F(SettingsWindowTest, NewProfileRefusesBadNamesAndStaysOpen) {
  Install({L"base"});
  Start();
  struct Case {
    const wchar_t* label;
    std::wstring name;
    const std::wstring& message;
  } cases[] = {
      {L"empty", L"", kMsgEmpty},
      {L"comma", L"a,b", kMsgForbidden},
      {L"dollar", L"a$b", kMsgForbidden},
      {L"33 characters", std::wstring(33, L'x'), kMsgTooLong},
      {L"existing", L"base", kMsgInUse},
      {L"case only", L"BASE", kMsgInUse},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.label, c.label + wcslen(c.label)));
    EXPECT_EQ(CreateProfile(c.name, false, false), c.message);
  }
  EXPECT_EQ(driver_.Entries(), std::vector<std::wstring>{L"base"});
  EXPECT_EQ(Ini(L"base", L"OPTION", L"ImageType"), L"0") << "the case-only clash must not write over base";
}

TEST_F(SettingsWindowTest, SaveWritesTheProfileAndTellsSo) {
  Install({L"one"});
  Start();
  ChooseImageType(2);
  EXPECT_EQ(Ini(L"one", L"OPTION", L"ImageType"), L"0");
  driver_.Click(Item(kSave));
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgSaved);
  Answer(box, IDOK);
  EXPECT_EQ(Ini(L"one", L"OPTION", L"ImageType"), L"2");
}

TEST_F(SettingsWindowTest, DeletingTheOnlyProfileLeavesTheQuickStartState) {
  Install({L"only"});
  Start();
  driver_.Click(Item(kDelete));
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskDelete);
  Answer(box, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return driver_.PageVisible(kQuickStart); }));
  EXPECT_FALSE(pelmo::test::FileExists(File(L"only")));
  EXPECT_TRUE(driver_.Entries().empty());
  for (int id : {kSelector, kPageList, kSave, kDelete, kRename, kOk}) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_TRUE(Enabled(kNew));
}

TEST_F(SettingsWindowTest, DeleteAnsweredNoKeepsTheProfile) {
  Install({L"keep"});
  Start();
  driver_.Click(Item(kDelete));
  Answer(WaitForMessageBox(driver_.pid()), IDNO);
  driver_.Settle();
  EXPECT_TRUE(pelmo::test::FileExists(File(L"keep")));
  EXPECT_EQ(driver_.SelectedName(), L"keep");
}

TEST_F(SettingsWindowTest, RenameRefusesBadNamesThenRenamesTheFile) {
  Install({L"old", L"other"});
  Start();
  ASSERT_EQ(driver_.SelectedName(), L"old");
  struct Case {
    const wchar_t* label;
    std::wstring name;
    const std::wstring& message;
  } cases[] = {
      {L"empty", L"", kMsgEmpty},
      {L"forbidden", L"a<b", kMsgForbidden},
      {L"33 characters", std::wstring(33, L'y'), kMsgTooLong},
      {L"existing", L"other", kMsgInUse},
      {L"case only", L"OTHER", kMsgInUse},
      {L"its own name", L"old", kMsgInUse},
  };
  driver_.Click(Item(kRename));
  HWND dialog = WaitForDialog(driver_.pid(), kRenameCaption);
  ASSERT_NE(dialog, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::string(c.label, c.label + wcslen(c.label)));
    driver_.Type(GetDlgItem(dialog, 1041), c.name);
    driver_.Click(GetDlgItem(dialog, IDOK));
    auto box = WaitForMessageBox(driver_.pid());
    EXPECT_EQ(box.text, c.message);
    Answer(box, IDOK);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open for a correction";
  }
  driver_.Type(GetDlgItem(dialog, 1041), L"Zulu");
  driver_.Click(GetDlgItem(dialog, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  driver_.Settle();
  EXPECT_FALSE(pelmo::test::FileExists(File(L"old")));
  EXPECT_TRUE(pelmo::test::FileExists(File(L"Zulu")));
  EXPECT_EQ(Ini(L"other", L"OPTION", L"ImageType"), L"1");
  EXPECT_EQ(driver_.Entries(), (std::vector<std::wstring>{L"other", L"Zulu"}));
  EXPECT_EQ(driver_.SelectedName(), L"Zulu");
}

struct SaveQuestionCase {
  const char* label;
  int answer;
  const wchar_t* selectedAfter;
  const wchar_t* savedType;  // ImageType of "first" on disk afterwards
};

class SaveQuestionTest : public SettingsWindowTest, public testing::WithParamInterface<SaveQuestionCase> {};

TEST_P(SaveQuestionTest, SwitchWithUnsavedEditsAsks) {
  const auto& c = GetParam();
  Install({L"first", L"second"});
  Start();
  ASSERT_EQ(driver_.SelectedName(), L"first");
  ChooseImageType(3);
  driver_.ChooseProfile(1);
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskSave);
  Answer(box, c.answer);
  driver_.Settle();
  EXPECT_EQ(driver_.SelectedName(), c.selectedAfter);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"ImageType"), c.savedType);
  EXPECT_EQ(ShownImageType(), c.answer == IDCANCEL ? 3 : 1) << "Cancel keeps the edited profile";
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestionTest,
                         testing::Values(SaveQuestionCase{"Yes", IDYES, L"second", L"3"},
                                         SaveQuestionCase{"No", IDNO, L"second", L"0"},
                                         SaveQuestionCase{"Cancel", IDCANCEL, L"first", L"0"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(SettingsWindowTest, SwitchWithoutEditsAsksNothing) {
  Install({L"first", L"second"});
  Start();
  driver_.ChooseProfile(1);
  ASSERT_TRUE(WaitUntil([&] { return ShownImageType() == 1; }));
  driver_.Settle();
  EXPECT_EQ(pelmo::test::FindMessageBox(driver_.pid()).window, nullptr);
  EXPECT_EQ(driver_.SelectedName(), L"second");
}

TEST_F(SettingsWindowTest, CheckProfileRewriteOffSavesWithoutAsking) {
  Install({L"first", L"second"});
  Start();
  // The box on the options page clears the shared option.
  HWND box = driver_.PageItem(kGlobalHook, kCheckProfileRewrite);
  ASSERT_EQ(driver_.Send(box, BM_GETCHECK), BST_CHECKED);
  driver_.Click(box);
  driver_.Settle(100);
  ChooseImageType(2);
  driver_.ChooseProfile(1);
  ASSERT_TRUE(WaitUntil([&] { return ShownImageType() == 1; }));
  driver_.Settle();
  EXPECT_EQ(pelmo::test::FindMessageBox(driver_.pid()).window, nullptr);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"ImageType"), L"2");
  EXPECT_EQ(driver_.IniValue(pelmo_.path(L"common.ini"), L"COMMON_OTHER", L"CheckProfileRewrite"), L"0");
}

TEST_F(SettingsWindowTest, AProfileDeletedBehindTheProgramsBackIsRemovedWithMessage108) {
  Install({L"first", L"second", L"third"});
  Start();
  ASSERT_TRUE(DeleteFileW(File(L"second").c_str()));
  driver_.ChooseProfile(1);
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_TRUE(Contains(box.text, kMsgMissing)) << box.text.size();
  EXPECT_TRUE(Contains(box.text, L"削除対象 : second"));
  Answer(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return driver_.Entries().size() == 2; }));
  driver_.Settle();
  EXPECT_EQ(driver_.Entries(), (std::vector<std::wstring>{L"first", L"third"}));
  EXPECT_EQ(driver_.SelectedName(), L"third") << "the neighbour takes the removed entry's place";
  EXPECT_EQ(ShownImageType(), 2);
  EXPECT_TRUE(pelmo::test::FileExists(File(L"first")));
}

TEST_F(SettingsWindowTest, EnterDoesNothingAndEscClosesOnlyFromTheFramesControls) {
  Install({L"first"});
  Start();
  HWND selector = Item(kSelector);
  driver_.Focus(selector);
  driver_.Key(selector, VK_RETURN);
  driver_.Settle();
  EXPECT_TRUE(IsWindowVisible(Frame())) << "Enter does nothing";

  HWND insidePage = driver_.PageItem(kBanner, kImageType);
  driver_.Focus(insidePage);
  driver_.Key(insidePage, VK_ESCAPE);
  driver_.Key(insidePage, VK_RETURN);
  driver_.Settle();
  EXPECT_TRUE(IsWindowVisible(Frame())) << "Esc inside a page does nothing";
  EXPECT_TRUE(driver_.PageVisible(kBanner));

  driver_.Focus(selector);
  driver_.Key(selector, VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(Frame()); })) << "Esc on the selector closes";
  EXPECT_TRUE(pelmo_.process().running());
}

TEST_F(SettingsWindowTest, EscWithoutAProfileEndsTheProgram) {
  Start();
  HWND button = Item(kNew);
  driver_.Focus(button);
  driver_.Key(button, VK_ESCAPE);
  EXPECT_EQ(pelmo_.process().wait(20000), 0u);
}

TEST_F(SettingsWindowTest, TrayProfileCommandsMoveTheSelection) {
  Install({L"a", L"b", L"c"});
  Start();
  for (int index : {2, 0, 1}) {
    driver_.Send(driver_.main(), WM_COMMAND, 32830 + index);
    EXPECT_EQ(driver_.Selected(), index);
    EXPECT_EQ(ShownImageType(), index == 0 ? 0 : index == 1 ? 1 : 2);
  }
  // A command past the list changes nothing.
  driver_.Send(driver_.main(), WM_COMMAND, 32830 + 7);
  EXPECT_EQ(driver_.Selected(), 1);
  EXPECT_TRUE(driver_.PageVisible(kBanner));
  // The profile being edited chosen again keeps its unsaved edits and asks nothing.
  ChooseImageType(3);
  driver_.Send(driver_.main(), WM_COMMAND, 32830 + 1);
  EXPECT_EQ(pelmo::test::FindMessageBox(driver_.pid()).window, nullptr);
  EXPECT_EQ(ShownImageType(), 3);
}

TEST_F(SettingsWindowTest, TrayCommandsGoThroughThePagesThatShowThem) {
  Install({L"a"});
  Start();
  HWND disable = driver_.PageItem(kGlobalHook, kDisableInput);
  ASSERT_EQ(driver_.Send(disable, BM_GETCHECK), BST_UNCHECKED);
  driver_.Send(driver_.main(), WM_COMMAND, 32932);
  EXPECT_EQ(driver_.Send(disable, BM_GETCHECK), BST_CHECKED);
  driver_.Send(driver_.main(), WM_COMMAND, 32932);
  EXPECT_EQ(driver_.Send(disable, BM_GETCHECK), BST_UNCHECKED);

  driver_.Send(driver_.main(), WM_COMMAND, 32800 + 3);
  EXPECT_EQ(ShownImageType(), 3);
  EXPECT_TRUE(Contains(pelmo::test::WindowText(driver_.PageItem(kBanner, kDescription)), L"可逆圧縮"));
  EXPECT_NE(driver_.Send(driver_.PageItem(kBanner, kBanner), STM_GETIMAGE, IMAGE_BITMAP), 0);
  // An image type the list cannot show is refused.
  driver_.Send(driver_.main(), WM_COMMAND, 32800 + 7);
  EXPECT_EQ(ShownImageType(), 3);
}

// Past 100 profiles the step must not go through the tray's command ids (32932 follows them).
TEST_F(SettingsWindowTest, ProfileStepPastOneHundredProfilesSwitchesAndShowsTheBalloon) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  std::vector<std::wstring> names;
  for (int i = 0; i < 105; ++i) {
    wchar_t n[16];
    swprintf(n, 16, L"p%03d", i);
    names.push_back(n);
  }
  ASSERT_TRUE(pelmo::test::WriteCommonIni(pelmo_.folder().path(), 1));
  ASSERT_TRUE(pelmo::test::WriteUnicodeFile(pelmo_.path(L"setting.ini"), L"[SYSTEM]\r\nLastProfile=p101\r\n"));
  for (const auto& n : names) {
    pelmo::test::TestProfile p;
    p.name = n;
    ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), p));
  }
  Start();
  ASSERT_EQ(driver_.SelectedName(), L"p101");
  HWND disable = driver_.PageItem(kGlobalHook, kDisableInput);
  EXPECT_EQ(driver_.Send(driver_.main(), kStepProfile, 1), 1);
  EXPECT_EQ(driver_.SelectedName(), L"p102");
  EXPECT_EQ(driver_.Send(disable, BM_GETCHECK), BST_UNCHECKED) << "the input-disabled mode was toggled";
  EXPECT_FALSE(monitor.WaitFor(L"title=p102", 1, 5000, driver_.pid()).empty());
  EXPECT_EQ(driver_.Send(driver_.main(), kStepProfile, 0), 1);
  EXPECT_EQ(driver_.SelectedName(), L"p101");
  EXPECT_EQ(driver_.IniValue(pelmo_.path(L"common.ini"), L"COMMON_OTHER", L"DisableInputMode"), L"0");
}

// The profile step sent from another thread: the save question blocks it until it is answered.
struct StepRequest {
  HWND main;
  LRESULT result = -1;
};

DWORD WINAPI SendStep(void* p) {
  auto* s = static_cast<StepRequest*>(p);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(s->main, 0x8009, 1, 0, SMTO_NORMAL, 30000, &r);
  s->result = static_cast<LRESULT>(r);
  return 0;
}

TEST_F(SettingsWindowTest, ProfileStepCancelledAtTheSaveQuestionShowsNoBalloon) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  Install({L"a", L"b"});
  Start();
  ChooseImageType(3);
  monitor.Clear();
  StepRequest step{driver_.main()};
  HANDLE thread = CreateThread(nullptr, 0, SendStep, &step, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskSave);
  Answer(box, IDCANCEL);
  WaitForSingleObject(thread, 30000);
  CloseHandle(thread);
  EXPECT_EQ(step.result, 0);
  EXPECT_EQ(driver_.SelectedName(), L"a");
  driver_.Settle(500);
  EXPECT_TRUE(monitor.Lines(L"プロファイルを切り替えました", driver_.pid()).empty());
}

TEST_F(SettingsWindowTest, SaveFailuresAreToldAndTheEditsStay) {
  Install({L"first", L"second"});
  Start();
  ChooseImageType(2);
  ASSERT_TRUE(SetFileAttributesW(File(L"first").c_str(), FILE_ATTRIBUTE_READONLY));
  driver_.Click(Item(kSave));
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_TRUE(Contains(box.text, kMsgSaveFailed)) << "save";
  Answer(box, IDOK);
  // A switch answered Yes that cannot save stays on the edited profile.
  driver_.ChooseProfile(1);
  box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskSave);
  Answer(box, IDYES);
  box = WaitForMessageBox(driver_.pid());
  EXPECT_TRUE(Contains(box.text, kMsgSaveFailed)) << "switch";
  Answer(box, IDOK);
  driver_.Settle();
  EXPECT_EQ(driver_.SelectedName(), L"first");
  EXPECT_EQ(ShownImageType(), 2);
  // Writable again: "保存" succeeds.
  ASSERT_TRUE(SetFileAttributesW(File(L"first").c_str(), FILE_ATTRIBUTE_NORMAL));
  driver_.Click(Item(kSave));
  box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgSaved);
  Answer(box, IDOK);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"ImageType"), L"2");
}

TEST_F(SettingsWindowTest, ExitWithAnUnwritableProfileOffersRetry) {
  Install({L"first"});
  Start();
  ChooseImageType(2);
  ASSERT_TRUE(SetFileAttributesW(File(L"first").c_str(), FILE_ATTRIBUTE_READONLY));
  PostMessageW(driver_.main(), WM_COMMAND, 32791, 0);
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_EQ(box.text, kMsgAskSave);
  Answer(box, IDYES);
  box = WaitForMessageBox(driver_.pid());
  EXPECT_TRUE(Contains(box.text, kMsgSaveFailed));
  ASSERT_TRUE(SetFileAttributesW(File(L"first").c_str(), FILE_ATTRIBUTE_NORMAL));
  Answer(box, IDRETRY);
  EXPECT_EQ(pelmo_.process().wait(20000), 0u);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"ImageType"), L"2");
}

TEST_F(SettingsWindowTest, GeneralPageSaveFolderAndHistory) {
  Install({L"first"});
  Start();
  HWND combo = driver_.PageItem(kBanner, kSaveFolder);
  const std::wstring typed = pelmo_.path(L"typed");
  driver_.Focus(combo);
  driver_.Type(combo, typed);
  driver_.Focus(driver_.PageItem(kBanner, kImageType));  // leaving the field stores it
  driver_.Settle(100);
  EXPECT_EQ(driver_.Send(combo, CB_GETCOUNT), 0) << "typing does not add to the history";
  driver_.Click(Item(kSave));
  Answer(WaitForMessageBox(driver_.pid()), IDOK);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"SaveFolder"), typed);
  // The last-file buttons are disabled while nothing was captured.
  for (int id : {1145, 1146, 1151}) EXPECT_FALSE(IsWindowEnabled(driver_.PageItem(kBanner, id))) << id;
  EXPECT_EQ(pelmo::test::WindowText(driver_.PageItem(kBanner, kLastFile)), L"");
}

TEST_F(SettingsWindowTest, PageListShowsItsPages) {
  Install({L"first"});
  Start();
  HWND list = Item(kPageList);
  EXPECT_EQ(driver_.Send(list, LVM_GETITEMCOUNT), 15);
  struct Row {
    int row;
    int control;
  } rows[] = {{13, kGlobalHook}, {14, kVersionText}, {0, kBanner}};
  for (const auto& r : rows) {
    // The arrow keys move the list's selection as a user's would.
    driver_.Focus(list);
    driver_.Send(list, WM_KEYDOWN, VK_HOME);
    for (int i = 0; i < r.row; ++i) driver_.Send(list, WM_KEYDOWN, VK_DOWN);
    driver_.Settle(50);
    EXPECT_TRUE(driver_.PageVisible(r.control)) << r.row;
  }
  EXPECT_EQ(pelmo::test::WindowText(driver_.PageItem(kVersionText, kVersionText)), L"2.2.7");
}

TEST_F(SettingsWindowTest, OptionsPageActsOnTheProcessAtOnce) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  Install({L"first"});
  Start();
  HANDLE process = pelmo_.process().handle();
  HWND slider = driver_.PageItem(kGlobalHook, kPriority);
  struct PriorityCase {
    int position;
    DWORD cls;
    const wchar_t* name;
  } priorities[] = {{4, HIGH_PRIORITY_CLASS, L"高"}, {0, IDLE_PRIORITY_CLASS, L"低"},
                    {3, ABOVE_NORMAL_PRIORITY_CLASS, L"通常以上"}, {2, NORMAL_PRIORITY_CLASS, L"通常"}};
  for (const auto& p : priorities) {
    driver_.Send(slider, TBM_SETPOS, TRUE, p.position);
    driver_.Send(GetParent(slider), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, p.position),
                 reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(GetPriorityClass(process), p.cls) << p.position;
    EXPECT_EQ(pelmo::test::WindowText(driver_.PageItem(kGlobalHook, kPriorityName)), p.name);
  }

  wchar_t startup[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, 0, startup), S_OK);
  const std::wstring link = std::wstring(startup) + L"\\PELMO.lnk";
  DeleteFileW(link.c_str());
  HWND shortcut = driver_.PageItem(kGlobalHook, kShortcut);
  driver_.SetChecked(shortcut, true);
  EXPECT_TRUE(WaitUntil([&] { return pelmo::test::FileExists(link); })) << "shortcut created";
  driver_.SetChecked(shortcut, false);
  EXPECT_TRUE(WaitUntil([&] { return !pelmo::test::FileExists(link); })) << "shortcut removed";

  monitor.Clear();
  driver_.Click(driver_.PageItem(kGlobalHook, kGlobalHook));
  EXPECT_FALSE(monitor.WaitFor(L"key source hook", 1, 5000, driver_.pid()).empty());
  driver_.Click(driver_.PageItem(kGlobalHook, kGlobalHook));
  EXPECT_FALSE(monitor.WaitFor(L"key source polling", 1, 5000, driver_.pid()).empty());
}

// Files in a folder (names only).
std::vector<std::wstring> FilesIn(const std::wstring& dir) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

// First start in an empty program folder: a profile made in the window captures with the
// default desktop key (PRINT SCREEN) into the default save folder once the window is closed.
TEST_F(SettingsWindowTest, FirstStartEndToEndCreateCloseAndCapture) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  Start();
  ASSERT_TRUE(driver_.PageVisible(kQuickStart));
  const std::wstring name = L"初回" + std::to_wstring(GetTickCount() % 100000);
  EXPECT_EQ(CreateProfile(name, false, true), L"");
  ASSERT_TRUE(WaitUntil([&] { return driver_.PageVisible(kBanner); }));
  ASSERT_EQ(driver_.SelectedName(), name);
  driver_.Click(Item(kOk));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Frame()); }));
  driver_.Settle(500);

  wchar_t documents[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents), S_OK);
  const std::wstring folder = std::wstring(documents) + L"\\screenshot\\" + name;
  pelmo::test::PressKey(VK_SNAPSHOT, 80);
  EXPECT_FALSE(monitor.WaitFor(L"event 0 done", 1, 15000, driver_.pid()).empty());
  EXPECT_TRUE(WaitUntil([&] { return !FilesIn(folder).empty(); }, 15000)) << "no capture in the default save folder";
  const auto files = FilesIn(folder);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].substr(files[0].size() - 4), L".jpg");
  for (const auto& f : files) DeleteFileW((folder + L"\\" + f).c_str());
  RemoveDirectoryW(folder.c_str());
}

// The profile chosen in the window is the one the next key press captures with.
TEST_F(SettingsWindowTest, ProfileChosenInTheWindowCapturesTheNextKeyPress) {
  DebugMonitor monitor;
  ASSERT_TRUE(monitor.ok());
  ASSERT_TRUE(pelmo::test::WriteCommonIni(pelmo_.folder().path(), 1));
  const std::wstring names[] = {L"alpha", L"beta"};
  for (int i = 0; i < 2; ++i) {
    pelmo::test::TestProfile p;
    p.name = names[i];
    p.saveFolder = pelmo_.path(L"out_" + names[i]);
    ASSERT_TRUE(CreateDirectoryW(p.saveFolder.c_str(), nullptr));
    p.fileName = L"shot%r";
    p.imageType = 3;
    p.keys = {{L"ScreenShot_Desktop", VK_F5}};
    ASSERT_TRUE(pelmo::test::InstallProfile(pelmo_.folder().path(), p));
  }
  Start();
  ASSERT_EQ(driver_.SelectedName(), L"alpha");
  driver_.ChooseProfile(1);
  ASSERT_TRUE(WaitUntil([&] { return driver_.SelectedName() == L"beta"; }));
  driver_.Settle();
  driver_.Click(Item(kOk));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(Frame()); }));
  driver_.Settle(500);
  pelmo::test::PressKey(VK_F5, 80);
  EXPECT_FALSE(monitor.WaitFor(L"event 0 done", 1, 15000, driver_.pid()).empty());
  EXPECT_TRUE(WaitUntil([&] { return !FilesIn(pelmo_.path(L"out_beta")).empty(); }, 15000));
  EXPECT_TRUE(FilesIn(pelmo_.path(L"out_alpha")).empty());
}

// A drop (a drop block made inside the program, as the shell makes it) shows the tool page; the
// page list keeps its row, so clicking that row again does not switch back, another row does.
TEST_F(SettingsWindowTest, DroppedFilesShowTheToolPage) {
  Install({L"first"});
  Start();
  ASSERT_TRUE(driver_.PageVisible(kBanner));
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, driver_.pid());
  ASSERT_NE(process, nullptr);
  const std::wstring file = pelmo_.path(L"pelmo.exe");
  std::vector<char> block(sizeof(DROPFILES) + (file.size() + 2) * sizeof(wchar_t), 0);
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  memcpy(block.data() + sizeof(DROPFILES), file.c_str(), file.size() * sizeof(wchar_t));
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
  CloseHandle(process);
  HWND list = Item(kPageList);
  auto chooseRow = [&](int row) {
    driver_.Focus(list);
    driver_.Send(list, WM_KEYDOWN, VK_HOME);
    for (int i = 0; i < row; ++i) driver_.Send(list, WM_KEYDOWN, VK_DOWN);
    driver_.Settle(100);
  };
  chooseRow(13);
  ASSERT_TRUE(driver_.PageVisible(kGlobalHook));
  chooseRow(0);
  ASSERT_TRUE(driver_.PageVisible(kBanner));
  PostMessageW(Frame(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  ASSERT_TRUE(WaitUntil([&] { return !driver_.PageVisible(kBanner); }));
  EXPECT_FALSE(driver_.PageVisible(kGlobalHook));
  chooseRow(0);  // the still-selected row
  EXPECT_FALSE(driver_.PageVisible(kBanner)) << "the selected row switched back";
  chooseRow(13);
  EXPECT_TRUE(driver_.PageVisible(kGlobalHook));
  PostMessageW(Frame(), WM_DROPFILES, 0, 0);  // an empty drop is dropped as well
  driver_.Settle(100);
  EXPECT_TRUE(pelmo_.process().running());
}

TEST_F(SettingsWindowTest, VersionPageShowsTheVersionAndOpensTheReadme) {
  Install({L"first"});
  Start();
  EXPECT_EQ(pelmo::test::WindowText(driver_.PageItem(kVersionText, kVersionText)), L"2.2.7");
  EXPECT_EQ(pelmo::test::WindowText(driver_.PageItem(kVersionText, 1058)), L"PELMO");
  EXPECT_NE(driver_.Send(driver_.PageItem(kVersionText, 1165), STM_GETICON), 0) << "the program's icon";
  // Without a Readme beside the program the shell answers as it will; the program goes on.
  ASSERT_TRUE(DeleteFileW(pelmo_.path(L"Readme.txt").c_str()));
  driver_.Click(driver_.PageItem(kVersionText, 1160));
  driver_.Settle(500);
  EXPECT_TRUE(pelmo_.process().running());
  EXPECT_TRUE(IsWindowVisible(Frame()));
}

// A rename the file system refuses (the file went away behind the program's back) is told with
// our message; the name stays and the dialog stays open.
TEST_F(SettingsWindowTest, RenameOfAVanishedFileIsToldAndChangesNothing) {
  Install({L"gone", L"other"});
  Start();
  ASSERT_EQ(driver_.SelectedName(), L"gone");
  ASSERT_TRUE(DeleteFileW(File(L"gone").c_str()));
  driver_.Click(Item(kRename));
  HWND dialog = WaitForDialog(driver_.pid(), kRenameCaption);
  ASSERT_NE(dialog, nullptr);
  driver_.Type(GetDlgItem(dialog, 1041), L"newname");
  driver_.Click(GetDlgItem(dialog, IDOK));
  auto box = WaitForMessageBox(driver_.pid());
  EXPECT_TRUE(Contains(box.text, L"プロファイルのファイルを書き込めませんでした。")) << box.text.size();
  Answer(box, IDOK);
  EXPECT_TRUE(IsWindowVisible(dialog));
  driver_.Click(GetDlgItem(dialog, IDCANCEL));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  driver_.Settle();
  EXPECT_FALSE(pelmo::test::FileExists(File(L"newname")));
  EXPECT_EQ(driver_.Entries(), (std::vector<std::wstring>{L"gone", L"other"}));
}

TEST_F(SettingsWindowTest, AnUnknownLastProfileStartsWithTheFirstEntry) {
  Install({L"b", L"a"});
  ASSERT_TRUE(pelmo::test::WriteUnicodeFile(pelmo_.path(L"setting.ini"), L"[SYSTEM]\r\nLastProfile=gone\r\n"));
  Start();
  EXPECT_EQ(driver_.SelectedName(), L"a");
  EXPECT_EQ(ShownImageType(), 1);
}

// Exit from the tray records the profile chosen last; the next start selects it again.
TEST_F(SettingsWindowTest, ExitRecordsTheLastProfileForTheNextStart) {
  Install({L"a", L"b", L"c"});
  Start();
  driver_.ChooseProfile(2);
  ASSERT_TRUE(WaitUntil([&] { return ShownImageType() == 2; }));
  driver_.Settle();
  PostMessageW(driver_.main(), WM_COMMAND, 32791, 0);
  ASSERT_EQ(pelmo_.process().wait(20000), 0u);
  EXPECT_EQ(driver_.IniValue(pelmo_.path(L"setting.ini"), L"SYSTEM", L"LastProfile"), L"c");
  ASSERT_TRUE(driver_.Start());
  EXPECT_EQ(driver_.SelectedName(), L"c");
}

TEST_F(SettingsWindowTest, ThirtyTwoCharacterNamesAreAcceptedByBothDialogs) {
  Install({L"base"});
  Start();
  const std::wstring created(32, L'a'), renamed(32, L'b');
  EXPECT_EQ(CreateProfile(created, false, true), L"");
  ASSERT_TRUE(WaitUntil([&] { return driver_.SelectedName() == created; }));
  EXPECT_TRUE(pelmo::test::FileExists(File(created)));
  driver_.Click(Item(kRename));
  HWND dialog = WaitForDialog(driver_.pid(), kRenameCaption);
  ASSERT_NE(dialog, nullptr);
  driver_.Type(GetDlgItem(dialog, 1041), renamed);
  driver_.Click(GetDlgItem(dialog, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  driver_.Settle();
  EXPECT_TRUE(pelmo::test::FileExists(File(renamed)));
  EXPECT_FALSE(pelmo::test::FileExists(File(created)));
  EXPECT_EQ(driver_.SelectedName(), renamed);
}

// Picking a history entry moves it to the front; leaving the field makes it the save folder.
TEST_F(SettingsWindowTest, PickingASaveFolderFromTheHistoryMovesItToTheFront) {
  Install({L"first"});
  const std::wstring folders[] = {pelmo_.path(L"h0"), pelmo_.path(L"h1"), pelmo_.path(L"h2")};
  ASSERT_TRUE(pelmo::test::WriteUnicodeFile(
      pelmo_.path(L"setting.ini"), L"[SYSTEM]\r\nLastProfile=first\r\nSaveDirectoryLog_0=" + folders[0] +
                                      L"\r\nSaveDirectoryLog_1=" + folders[1] + L"\r\nSaveDirectoryLog_2=" + folders[2] +
                                      L"\r\n"));
  Start();
  HWND combo = driver_.PageItem(kBanner, kSaveFolder);
  ASSERT_EQ(driver_.Send(combo, CB_GETCOUNT), 3);
  driver_.Focus(combo);
  driver_.ChooseInCombo(combo, 2);
  driver_.Settle(100);
  driver_.Focus(driver_.PageItem(kBanner, kImageType));
  driver_.Settle(100);
  auto entry = [&](int i) {
    wchar_t text[512] = {};
    driver_.Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };
  EXPECT_EQ(entry(0), folders[2]);
  EXPECT_EQ(entry(1), folders[0]);
  EXPECT_EQ(entry(2), folders[1]);
  EXPECT_EQ(driver_.Send(combo, CB_GETCOUNT), 3);
  PostMessageW(driver_.main(), WM_COMMAND, 32791, 0);
  // The changed save folder asks before the exit; Yes writes it.
  Answer(WaitForMessageBox(driver_.pid()), IDYES);
  ASSERT_EQ(pelmo_.process().wait(20000), 0u);
  EXPECT_EQ(Ini(L"first", L"OPTION", L"SaveFolder"), folders[2]);
  EXPECT_EQ(driver_.IniValue(pelmo_.path(L"setting.ini"), L"SYSTEM", L"SaveDirectoryLog_0"), folders[2]);
}

}  // namespace
